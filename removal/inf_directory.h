#pragma once

// Rules for the files the INF cleanup deletes from the Windows INF directory.

#include <optional>
#include <string>

#include "removal/removal.h"

// A name that stays inside the directory it is joined to: not empty, not "." or "..", and without
// "\", "/" or ":" (which would lead to another directory, another drive or a stream).
bool IsBareFileName(const std::string& name);

// Whether `path` names a file directly in `directory` (compared ignoring case); `name` receives the
// file's name.
bool NamesFileDirectlyIn(const std::string& path, const std::string& directory, std::string& name);

// Whether the INF at `path` is the model's: a Windows NT-style INF (the style the device installer
// lists a directory's INFs by) whose manufacturer section has a line keyed by the driver name.
bool ListsTheModel(const std::string& path);

// Whether `name`, a file of the INF directory `directory`, is an INF the oem scan deletes: its name
// starts with "oem" (in that case) and it lists the model.
bool IsModelsOemInf(const std::string& directory, const std::string& name);

// The INF file that the Uninstall key's InfFile value records, when the value names a file directly
// in the Windows INF directory: the value is only a record in the registry, and it must not lead
// anywhere else. `keyOpened`, where given, receives the registry's status of opening the key.
struct RecordedInf {
  std::string path;  // as recorded
  std::string directory;
  std::string name;
};
std::optional<RecordedInf> FindRecordedInf(LONG* keyOpened = nullptr);

// Deleting a published ("oem") INF by name leaves its package in the driver store, from which the
// system reinstalls the driver when the printer is next plugged in. Asking the system to uninstall
// it first takes the package out of the store as well; other names are left to the deletion alone.
// The result is the system's answer; the deletion follows whatever it was.
// Windows reuses oem numbers, so a name on record may by now belong to another product's INF, whose
// package its devices may still use: only the model's own INF (in `directory`) is handed over.
// The result is the system's answer; the deletion follows whatever it was.
RemovalResult UninstallPublishedInf(const std::string& directory, const std::string& name, const OemInfCalls& calls);

// The same for an INF already known to list the model, as the oem scan's are.
RemovalResult UninstallModelsPublishedInf(const std::string& name, const OemInfCalls& calls);

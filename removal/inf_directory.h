#pragma once

// Rules for the files the INF cleanup deletes from the Windows INF directory.

#include <string>

#include "removal/removal.h"

// A name that stays inside the directory it is joined to: not empty, not "." or "..", and without
// "\", "/" or ":" (which would lead to another directory, another drive or a stream).
bool IsBareFileName(const std::string& name);

// Whether `path` names a file directly in `directory` (compared ignoring case); `name` receives the
// file's name.
bool NamesFileDirectlyIn(const std::string& path, const std::string& directory, std::string& name);

// Deleting a published ("oem") INF by name leaves its package in the driver store, from which the
// system reinstalls the driver when the printer is next plugged in. Asking the system to uninstall
// it first takes the package out of the store as well; other names are left to the deletion alone.
void UninstallPublishedInf(const std::string& name, const OemInfCalls& calls);

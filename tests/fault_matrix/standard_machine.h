#pragma once

// The machine every case of the matrix starts from: the model's whole driver package as its
// installer leaves it, and beside each of its artefacts a look-alike of another product that has
// to survive the uninstall.

#include <string>
#include <vector>

#include "tools/stager/installation.h"

namespace fault_matrix {

stager::Installation StandardMachine();
// The look-alikes that the stager has no words for: another model's Uninstall, language monitor
// and print processor keys.
bool StageLookAlikeKeys(std::string& error);

// The model's printers on the standard machine, as the dialog lists them.
std::vector<std::string> StandardModelPrinters();

// The instance IDs of the model's device nodes on the standard machine: its two USB nodes first,
// then its printer nodes below the enumeration keys; and the device key that the USB nodes lie
// below, which goes with them.
std::vector<std::string> StandardModelNodes();
std::string ModelNodesParentKey();

// Where the model's artefacts on the standard machine lie, as snapshot paths (see
// state_snapshot.h): everything within them is the uninstaller's to remove.
std::vector<std::string> StandardModelArtefacts();

// What a printer leaves in the snapshot: its spooler key, the spooler's entries for it in the
// user's profile, and the settings key the model's driver keeps for it.
std::vector<std::string> PrinterArtefacts(const std::string& name);

// Snapshot paths of a file in a staged folder, of a registry key below HKLM, of a device node.
std::string FilePath(stager::Folder folder, const std::string& relativePath);
std::string MachineKey(const std::string& key);
std::string DeviceNodeKey(const std::string& instanceId);

// The print processor's key stays wherever the uninstaller runs on Wine: Wine's
// DeletePrintProcessorA only answers success, so the key's fallback deletion never runs.
std::string ProcessorKeyKeptByWine();

}  // namespace fault_matrix

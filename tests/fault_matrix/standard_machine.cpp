#include "tests/fault_matrix/standard_machine.h"

#include <algorithm>

#include "identity/target_identity.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/presets.h"
#include "tools/stager/system_state.h"

namespace fault_matrix {

namespace {

constexpr char kOtherDriver[] = "Generic Thermal 58";
constexpr char kSiblingModel[] = "QTM-820narrow";

const stager::DeviceNodeSpec kModelNode = {"USB\\VID_2E5B&PID_0017\\KQ0001",
                                           {"USB\\Vid_2E5B&Pid_0017&Rev_0100", "USB\\Vid_2E5B&Pid_0017"}};
const stager::DeviceNodeSpec kModelNodeInLowerCase = {"USB\\VID_2E5B&PID_0017\\KQ0003", {"usb\\vid_2e5b&pid_0017"}};
// The INF the model's printer nodes were installed from, as their driver keys name it.
constexpr char kModelInf[] = "oem12.inf";

}  // namespace

stager::Installation StandardMachine() {
  stager::Installation machine = stager::SampleInstallation();
  machine.orphanSettingsKeys = {"Never Listed"};
  machine.files.push_back({stager::Folder::PrinterDriver, "karveloqtm_820narrow\\settings.ini"});
  machine.deviceNodes = {
      kModelNode,
      {"USB\\VID_2E5B&PID_0018\\KQ0004", {"USB\\Vid_2E5B&Pid_0018&Rev_0100", "USB\\Vid_2E5B&Pid_0018"}},
      {"USB\\VID_1A86&PID_7584\\5&2F1D&0&2", {"USB\\Vid_1A86&Pid_7584&Rev_0254", "USB\\Vid_2E5B&Pid_0017"}},
      kModelNodeInLowerCase,
  };
  const std::vector<stager::DeviceNodeSpec> printerNodes = stager::ModelPrinterNodes(kModelInf);
  machine.deviceNodes.insert(machine.deviceNodes.end(), printerNodes.begin(), printerNodes.end());
  machine.deviceNodes.push_back(stager::SiblingPrinterNode("oem5.inf"));
  machine.deviceKeys = {{"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\OTHERMAKERTP-80"},
                        {"SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KARVELOQTM-820narrow"}};
  machine.driverClassKeys.push_back({"0002", std::string(DRIVER_NAME_PREFIX) + kSiblingModel, std::string("oem5.inf")});
  return machine;
}

bool StageLookAlikeKeys(std::string& error) {
  const std::string sibling = std::string("KARVELO_") + kSiblingModel;
  const bool written =
      stager::WriteRegistryString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY_PREFIX + std::string(kSiblingModel),
                                  "DisplayName", std::string(DRIVER_NAME_PREFIX) + kSiblingModel) &&
      stager::WriteRegistryString(HKEY_LOCAL_MACHINE, MONITOR_KEY_PREFIX + std::string("QTM820narrow"), "Driver",
                                  "MON820n.DLL") &&
      stager::WriteRegistryString(HKEY_LOCAL_MACHINE, PROCESSOR_KEY_PREFIX + std::string("QTM820narrow"), "Driver",
                                  "PRO820n.dll");
  if (!written) error = "writing the look-alike keys of " + sibling;
  return written;
}

std::vector<std::string> StandardModelPrinters() {
  std::vector<std::string> names;
  for (const stager::PrinterSpec& printer : StandardMachine().printers) {
    if (printer.driverName == DRIVER_NAME) names.push_back(printer.name);
  }
  return names;
}

std::string FilePath(stager::Folder folder, const std::string& relativePath) {
  return stager::FullPath({folder, relativePath});
}

std::string MachineKey(const std::string& key) { return "HKLM\\" + key; }

std::string DeviceNodeKey(const std::string& instanceId) {
  return MachineKey("SYSTEM\\CurrentControlSet\\Enum\\" + instanceId);
}

std::vector<std::string> PrinterArtefacts(const std::string& name) {
  std::string keyName = name;
  std::replace(keyName.begin(), keyName.end(), ' ', '_');
  return {
      MachineKey("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + name),
      "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices|" + name,
      "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\PrinterPorts|" + name,
      MachineKey("SOFTWARE\\KARVELO_POS_PRINTER\\" + keyName),
  };
}

std::vector<std::string> StandardModelNodes() {
  std::vector<std::string> nodes = {kModelNode.instanceId, kModelNodeInLowerCase.instanceId};
  for (const stager::DeviceNodeSpec& node : stager::ModelPrinterNodes(kModelInf)) nodes.push_back(node.instanceId);
  return nodes;
}

std::string ModelNodesParentKey() { return DeviceNodeKey("USB\\VID_2E5B&PID_0017"); }

std::string ProcessorKeyKeptByWine() { return MachineKey(stager::kProcessorKey); }

std::vector<std::string> StandardModelArtefacts() {
  std::vector<std::string> roots;
  for (const std::string& printer : StandardModelPrinters()) {
    const std::vector<std::string> artefacts = PrinterArtefacts(printer);
    roots.insert(roots.end(), artefacts.begin(), artefacts.end());
  }
  for (const char* key : {UNINSTALL_KEY, stager::kDriverKey, stager::kDriverPrinterKey, stager::kMonitorKey,
                          stager::kProcessorKey, USBPRINT_ENUM_KEY, LPTENUM_ENUM_KEY}) {
    roots.push_back(MachineKey(key));
  }
  for (const stager::FileSpec& file : stager::ModelDriverFiles()) roots.push_back(stager::FullPath(file));
  // The recorded INF, the one the model's driver class key names, and one found only by the scan.
  for (const char* name : {"oem7.inf", "oem7.PNF", "oem12.inf", "oem12.PNF", "oem3.inf", "oem3.PNF"}) {
    roots.push_back(FilePath(stager::Folder::Inf, name));
  }
  for (const std::string& node : StandardModelNodes()) roots.push_back(DeviceNodeKey(node));
  roots.push_back(ModelNodesParentKey());
  roots.push_back(stager::DataDirectoryPath());
  return roots;
}

}  // namespace fault_matrix

#include "tools/stager/presets.h"

#include <algorithm>

#include "identity/target_identity.h"
#include "tools/stager/package_layout.h"

namespace stager {

Installation SampleInstallation() {
  Installation installation;
  installation.drivers = {ModelDriver(), OtherDriver("Generic Thermal 58")};
  installation.printers = {
      {"Front Desk (Bar 2)", DRIVER_NAME, true},
      {"Kitchen  Receipts-1", DRIVER_NAME, true},
      {"KARVELO QTM-820wide", DRIVER_NAME, true},
      {"Office Label Printer", "Generic Thermal 58", false},
  };
  installation.uninstallKey = true;
  installation.uninstallInfFile = FolderPath(Folder::Inf) + "\\oem7.inf";
  installation.monitorKey = true;
  installation.processorKey = true;
  installation.files = ModelDriverFiles();
  const std::vector<FileSpec> decoys = DriverFileDecoys();
  installation.files.insert(installation.files.end(), decoys.begin(), decoys.end());
  installation.infFiles = {
      {"oem7.inf", true, true},  {"oem12.inf", true, true}, {"oem3.inf", true, true},
      {"oem5.inf", false, true}, {"OEM6.inf", true, true},  {"karvelo.inf", true, false},
  };
  // The model's printer class keys are the driver keys of its device nodes.
  installation.driverClassKeys = {{"0000", "Generic Thermal 58", std::string("oem2.inf")}};
  installation.deviceNodes = {
      // The model's USB nodes: one with a revision in its first hardware ID, one in lower case.
      {"USB\\VID_2E5B&PID_0017\\KV820W0001", {"USB\\Vid_2E5B&Pid_0017&Rev_0100", "USB\\Vid_2E5B&Pid_0017"}},
      {"USB\\VID_2E5B&PID_0017\\KV820W0002", {"usb\\vid_2e5b&pid_0017"}},
      // A sibling product of the maker, and another maker's device that names the model second.
      {"USB\\VID_2E5B&PID_0018\\KV820N0001", {"USB\\Vid_2E5B&Pid_0018&Rev_0100"}},
      {"USB\\VID_1A86&PID_7584\\HUB0001", {"USB\\Vid_1A86&Pid_7584", "USB\\Vid_2E5B&Pid_0017"}},
  };
  const std::vector<DeviceNodeSpec> printerNodes = ModelPrinterNodes("oem12.inf");
  installation.deviceNodes.insert(installation.deviceNodes.end(), printerNodes.begin(), printerNodes.end());
  installation.deviceNodes.push_back(SiblingPrinterNode("oem5.inf"));
  // An enumeration key that administrators may delete only once they have granted themselves the right.
  installation.lockedKeys = {{LPTENUM_ENUM_KEY, KeyLock::UntilGranted}};
  installation.dataDirectory = {
      {"settings.ini", false, FILE_ATTRIBUTE_READONLY},
      {"logos", true, 0},
      {"logos\\header.bmp", false, FILE_ATTRIBUTE_HIDDEN},
      {"logos\\archive", true, FILE_ATTRIBUTE_READONLY},
      {"logos\\archive\\footer.bmp", false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM},
  };
  return installation;
}

Installation DriverOnlyInstallation() {
  Installation installation = SampleInstallation();
  installation.printers.clear();
  return installation;
}

Installation WithoutModelPrintersAndDriver(Installation installation) {
  const auto onModelDriver = [](const PrinterSpec& printer) { return printer.driverName == DRIVER_NAME; };
  const auto isModelDriver = [](const DriverSpec& driver) { return driver.name == DRIVER_NAME; };
  std::vector<PrinterSpec>& printers = installation.printers;
  printers.erase(std::remove_if(printers.begin(), printers.end(), onModelDriver), printers.end());
  std::vector<DriverSpec>& drivers = installation.drivers;
  drivers.erase(std::remove_if(drivers.begin(), drivers.end(), isModelDriver), drivers.end());
  return installation;
}

bool FindPreset(const std::string& name, Installation& installation) {
  if (name == "sample") {
    installation = SampleInstallation();
    return true;
  }
  if (name == "driver-only") {
    installation = DriverOnlyInstallation();
    return true;
  }
  if (name == "leftovers") {
    installation = WithoutModelPrintersAndDriver(SampleInstallation());
    return true;
  }
  return false;
}

}  // namespace stager

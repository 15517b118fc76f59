#include "tools/stager/presets.h"

#include "app/target_identity.h"
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
  installation.driverClassKeys = {
      {"0000", "Generic Thermal 58", std::string("oem2.inf")},
      {"0001", DRIVER_NAME, std::string("oem12.inf")},
  };
  installation.dataDirectory = {
      {"settings.ini", false, FILE_ATTRIBUTE_READONLY},
      {"logos", true, 0},
      {"logos\\header.bmp", false, FILE_ATTRIBUTE_HIDDEN},
      {"logos\\archive", true, FILE_ATTRIBUTE_READONLY},
      {"logos\\archive\\footer.bmp", false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM},
  };
  return installation;
}

bool FindPreset(const std::string& name, Installation& installation) {
  if (name == "sample") {
    installation = SampleInstallation();
    return true;
  }
  return false;
}

}  // namespace stager

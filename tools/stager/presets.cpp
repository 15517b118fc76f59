#include "tools/stager/presets.h"

#include "app/target_identity.h"

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

#include "app/target_identity.h"
#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"

namespace stager {

bool StageUninstallKey(const std::string& infFile, std::string& error) {
  const bool written =
      WriteRegistryString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName", DRIVER_NAME) &&
      (infFile.empty() || WriteRegistryString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "InfFile", infFile));
  if (!written) error = "writing the Uninstall key";
  return written;
}

bool Stage(const Installation& installation, std::string& error) {
  for (const DriverSpec& driver : installation.drivers) {
    if (!StageDriver(driver, error)) return false;
  }
  for (const PrinterSpec& printer : installation.printers) {
    if (!StagePrinter(printer, error)) return false;
  }
  for (const std::string& name : installation.orphanSettingsKeys) {
    if (!StageSettingsKey(name, error)) return false;
  }
  for (const UsbDeviceSpec& device : installation.usbDevices) {
    if (!StageUsbDevice(device, error)) return false;
  }
  for (const DeviceKeySpec& deviceKey : installation.deviceKeys) {
    if (!StageDeviceKey(deviceKey, error)) return false;
  }
  return !installation.uninstallKey || StageUninstallKey(installation.uninstallInfFile, error);
}

}  // namespace stager

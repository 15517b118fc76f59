#include "identity/target_identity.h"
#include "tools/stager/installation.h"
#include "tools/stager/package_layout.h"
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
  if (installation.uninstallKey && !StageUninstallKey(installation.uninstallInfFile, error)) return false;
  if (installation.monitorKey && !StageMonitorKey(error)) return false;
  if (installation.processorKey && !StageProcessorKey(error)) return false;
  for (const FileSpec& file : installation.files) {
    if (!StageFile(file, error)) return false;
  }
  for (const InfFileSpec& inf : installation.infFiles) {
    if (!StageInfFile(inf, error)) return false;
  }
  for (const DriverClassKeySpec& key : installation.driverClassKeys) {
    if (!StageDriverClassKey(key, error)) return false;
  }
  for (const DeviceNodeSpec& device : installation.deviceNodes) {
    if (!StageDeviceNode(device, error)) return false;
  }
  for (const DeviceKeySpec& deviceKey : installation.deviceKeys) {
    if (!StageDeviceKey(deviceKey, error)) return false;
  }
  if (!installation.dataDirectory.empty() &&
      !StageDirectoryTree(DataDirectoryPath(), installation.dataDirectory, error)) {
    return false;
  }
  for (const LockedKeySpec& locked : installation.lockedKeys) {
    if (!LockKey(locked.key, locked.lock, error)) return false;
  }
  return true;
}

}  // namespace stager

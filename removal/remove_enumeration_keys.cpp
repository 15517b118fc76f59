#include <windows.h>

#include <cstring>
#include <string>

#include "identity/target_identity.h"
#include "regperm/regperm.h"
#include "removal/device_list_walk.h"
#include "removal/enumeration_key_removal.h"
#include "removal/model_device_nodes.h"
#include "removal/removal.h"
#include "win/scoped_setup.h"

namespace {

// On Windows Vista and later every device instance key has a Properties subkey that only SYSTEM
// may open, so an administrator cannot delete the enumeration key with its nodes; the Plug and
// Play service removes a node as SYSTEM, with that subkey and the node's driver key (the printer
// class key that names the driver). A node that stays does not keep the others.
RemovalResult RemoveNodesBelow(const char* enumerationKey, RemoveDeviceCall removeDevice) {
  RemovalResult result;
  const ScopedDeviceInfoList devices = ListNodesBelow(enumerationKey);
  if (!devices.IsValid()) {
    result.FailWithLastError();
    return result;
  }
  const DeviceWalkEnd end = WalkDeviceList(devices.Get(), &::SetupDiEnumDeviceInfo, [&](SP_DEVINFO_DATA& device) {
    if (!removeDevice(devices.Get(), &device)) result.FailWithLastError();
    return true;
  });
  if (end == DeviceWalkEnd::Unreadable) result.Fail(ERROR_INVALID_DATA);
  return result;
}

}  // namespace

RemovalResult RemoveEnumerationKeysWith(RemoveDeviceCall removeDevice) {
  RemovalResult result = RemoveNodesBelow(USBPRINT_ENUM_KEY, removeDevice);
  result.Add(RemoveNodesBelow(LPTENUM_ENUM_KEY, removeDevice));

  // Then whatever is left of the keys. Unread, the name stays empty and the paths begin with three
  // backslashes; their permission step then fails and the keys are deleted all the same.
  char computerName[256] = {};
  DWORD size = sizeof(computerName);
  (void)::GetComputerNameA(computerName, &size);
  const std::string machinePrefix = "\\\\" + std::string(computerName, strnlen(computerName, sizeof(computerName)));

  result.FailUnlessGone(ForceDeleteKey((machinePrefix + USBPRINT_ENUM_KEY_PATH).c_str(), USBPRINT_ENUM_KEY));
  result.FailUnlessGone(ForceDeleteKey((machinePrefix + LPTENUM_ENUM_KEY_PATH).c_str(), LPTENUM_ENUM_KEY));
  return result;
}

RemovalResult RemoveEnumerationKeys() { return RemoveEnumerationKeysWith(&::SetupDiRemoveDevice); }

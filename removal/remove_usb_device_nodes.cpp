#include <cstring>

#include "removal/device_list_walk.h"
#include "removal/model_device_nodes.h"
#include "removal/removal.h"
#include "win/scoped_setup.h"

namespace {

// The pattern is held zero-filled in 50 bytes, so it has at most 49 characters.
constexpr std::size_t PATTERN_BUFFER_SIZE = 50;

}  // namespace

// FALSE leaves its reason as the thread's last error, for whoever reports the removal: releasing
// the list, which follows a failed removal, may change the last error on its own.
BOOL RemoveUsbDeviceNodesWith(const char* hardwareIdPattern, EnumDeviceInfoCall enumerate,
                              RemoveDeviceCall removeDevice) {
  const auto fail = [](DWORD reason) {
    ::SetLastError(reason);
    return FALSE;
  };
  if (hardwareIdPattern == nullptr) return fail(ERROR_INVALID_PARAMETER);
  const std::size_t patternLength = strnlen(hardwareIdPattern, PATTERN_BUFFER_SIZE);
  if (patternLength >= PATTERN_BUFFER_SIZE) return fail(ERROR_INVALID_PARAMETER);
  char pattern[PATTERN_BUFFER_SIZE] = {};
  std::memcpy(pattern, hardwareIdPattern, patternLength);

  DWORD reason = ERROR_SUCCESS;
  {
    // Of every setup class, devices that are not plugged in included.
    ScopedDeviceInfoList devices = ListUsbNodesFor(pattern);
    if (!devices.IsValid()) return FALSE;

    // The first removal that fails ends the walk.
    const DeviceWalkEnd end = WalkDeviceList(devices.Get(), enumerate, [&](SP_DEVINFO_DATA& device) {
      if (!FirstHardwareIdMatches(devices.Get(), device, pattern) || removeDevice(devices.Get(), &device)) return true;
      reason = ::GetLastError();
      return false;
    });
    if (end == DeviceWalkEnd::EndOfList) return devices.Close() ? TRUE : FALSE;
    if (end == DeviceWalkEnd::Unreadable) reason = ERROR_INVALID_DATA;
  }
  return fail(reason);
}

BOOL RemoveUsbDeviceNodes(const char* hardwareIdPattern) {
  return RemoveUsbDeviceNodesWith(hardwareIdPattern, &::SetupDiEnumDeviceInfo, &::SetupDiRemoveDevice);
}

#include <cstring>

#include "identity/target_identity.h"
#include "removal/device_list_walk.h"
#include "removal/removal.h"
#include "win/scoped_setup.h"

namespace {

// The pattern is held zero-filled in 50 bytes, so it has at most 49 characters.
constexpr std::size_t PATTERN_BUFFER_SIZE = 50;
// Only the first hardware ID is compared; a longer list is not read.
constexpr DWORD HARDWARE_ID_BUFFER_SIZE = 100;

bool FirstHardwareIdMatches(HDEVINFO devices, SP_DEVINFO_DATA& device, const char* pattern) {
  char hardwareIds[HARDWARE_ID_BUFFER_SIZE] = {};
  if (!::SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(hardwareIds), sizeof(hardwareIds), nullptr)) {
    return false;
  }
  return _strnicmp(hardwareIds, pattern, USB_HARDWARE_ID_LENGTH) == 0;
}

}  // namespace

BOOL RemoveUsbDeviceNodesWith(const char* hardwareIdPattern, EnumDeviceInfoCall enumerate,
                              RemoveDeviceCall removeDevice) {
  if (hardwareIdPattern == nullptr) return FALSE;
  const std::size_t patternLength = strnlen(hardwareIdPattern, PATTERN_BUFFER_SIZE);
  if (patternLength >= PATTERN_BUFFER_SIZE) return FALSE;
  char pattern[PATTERN_BUFFER_SIZE] = {};
  std::memcpy(pattern, hardwareIdPattern, patternLength);

  // Every setup class, devices that are not plugged in included.
  ScopedDeviceInfoList devices(::SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES));
  if (!devices.IsValid()) return FALSE;

  // The first removal that fails ends the walk.
  const DeviceWalkEnd end = WalkDeviceList(devices.Get(), enumerate, [&](SP_DEVINFO_DATA& device) {
    return !FirstHardwareIdMatches(devices.Get(), device, pattern) ||
           removeDevice(devices.Get(), &device) != FALSE;
  });
  if (end != DeviceWalkEnd::EndOfList) return FALSE;
  return devices.Close() ? TRUE : FALSE;
}

BOOL RemoveUsbDeviceNodes(const char* hardwareIdPattern) {
  return RemoveUsbDeviceNodesWith(hardwareIdPattern, &::SetupDiEnumDeviceInfo, &::SetupDiRemoveDevice);
}

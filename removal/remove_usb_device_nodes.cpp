#include <cstring>

#include "app/target_identity.h"
#include "removal/removal.h"
#include "removal/usb_device_walk.h"
#include "win/scoped_setup.h"

namespace {

// The pattern is held zero-filled in 50 bytes, so it has at most 49 characters.
constexpr std::size_t PATTERN_BUFFER_SIZE = 50;
// Only the first hardware ID is compared; a longer list is not read.
constexpr DWORD HARDWARE_ID_BUFFER_SIZE = 100;
constexpr DWORD DEVICE_RECORD_SIZE = 28;
static_assert(sizeof(SP_DEVINFO_DATA) == DEVICE_RECORD_SIZE, "the 32-bit SP_DEVINFO_DATA");

enum class Fetched { Device, EndOfList, PassedOver };

Fetched FetchDevice(HDEVINFO devices, DWORD index, EnumDeviceInfoCall enumerate, SP_DEVINFO_DATA& device) {
  for (int attempt = 0; attempt <= DEVICE_ENUM_RETRY_LIMIT; ++attempt) {
    device = SP_DEVINFO_DATA{};
    device.cbSize = DEVICE_RECORD_SIZE;
    if (enumerate(devices, index, &device)) return Fetched::Device;
    if (::GetLastError() == ERROR_NO_MORE_ITEMS) return Fetched::EndOfList;
  }
  return Fetched::PassedOver;
}

bool FirstHardwareIdMatches(HDEVINFO devices, SP_DEVINFO_DATA& device, const char* pattern) {
  char hardwareIds[HARDWARE_ID_BUFFER_SIZE] = {};
  if (!::SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(hardwareIds), sizeof(hardwareIds), nullptr)) {
    return false;
  }
  return _strnicmp(hardwareIds, pattern, USB_HARDWARE_ID_LENGTH) == 0;
}

}  // namespace

BOOL RemoveUsbDeviceNodesWith(const char* hardwareIdPattern, EnumDeviceInfoCall enumerate) {
  if (hardwareIdPattern == nullptr) return FALSE;
  const std::size_t patternLength = strnlen(hardwareIdPattern, PATTERN_BUFFER_SIZE);
  if (patternLength >= PATTERN_BUFFER_SIZE) return FALSE;
  char pattern[PATTERN_BUFFER_SIZE] = {};
  std::memcpy(pattern, hardwareIdPattern, patternLength);

  // Every setup class, devices that are not plugged in included.
  ScopedDeviceInfoList devices(::SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES));
  if (!devices.IsValid()) return FALSE;

  DWORD passedOverInARow = 0;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device{};
    switch (FetchDevice(devices.Get(), index, enumerate, device)) {
      case Fetched::EndOfList:
        return devices.Close() ? TRUE : FALSE;
      case Fetched::PassedOver:
        if (++passedOverInARow == DEVICE_ENUM_SKIP_LIMIT) return FALSE;
        continue;
      case Fetched::Device:
        passedOverInARow = 0;
        break;
    }
    // A removed device keeps its place in the list, so the next index is the next device.
    if (FirstHardwareIdMatches(devices.Get(), device, pattern) && !::SetupDiRemoveDevice(devices.Get(), &device)) {
      return FALSE;
    }
  }
}

BOOL RemoveUsbDeviceNodes(const char* hardwareIdPattern) {
  return RemoveUsbDeviceNodesWith(hardwareIdPattern, &::SetupDiEnumDeviceInfo);
}

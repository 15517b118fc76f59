#include "removal/device_list_walk.h"

namespace {

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

}  // namespace

DeviceWalkEnd WalkDeviceList(HDEVINFO devices, EnumDeviceInfoCall enumerate,
                             const std::function<bool(SP_DEVINFO_DATA&)>& visit) {
  DWORD passedOverInARow = 0;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device{};
    switch (FetchDevice(devices, index, enumerate, device)) {
      case Fetched::EndOfList:
        return DeviceWalkEnd::EndOfList;
      case Fetched::PassedOver:
        if (++passedOverInARow == DEVICE_ENUM_SKIP_LIMIT) return DeviceWalkEnd::Unreadable;
        continue;
      case Fetched::Device:
        passedOverInARow = 0;
        break;
    }
    if (!visit(device)) return DeviceWalkEnd::Stopped;
  }
}

#include <windows.h>
#include <setupapi.h>

#include <optional>
#include <string>

#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"
#include "win/scoped_setup.h"

namespace stager {

namespace {

// The USB setup class, {36FC9E60-C465-11CF-8056-444553540000}.
const GUID USB_SETUP_CLASS = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The printer setup class, {4D36E979-E325-11CE-BFC1-08002BE10318}.
const GUID PRINTER_SETUP_CLASS = {0x4d36e979, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

bool WriteDriverKey(HDEVINFO devices, SP_DEVINFO_DATA& node, const PrinterDriverKeySpec& driver) {
  HKEY key = ::SetupDiCreateDevRegKeyA(devices, &node, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr);
  if (key == INVALID_HANDLE_VALUE) return false;
  const auto write = [&](const char* name, const std::string& value) {
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  };
  const bool written = write("DriverDesc", driver.driverDesc) && write("InfPath", driver.infPath);
  ::RegCloseKey(key);
  return written;
}

// The registry form of a hardware-ID list: each ID closed by a zero, the list by one more.
std::vector<BYTE> HardwareIdList(const std::vector<std::string>& ids) {
  std::vector<BYTE> list;
  for (const std::string& id : ids) {
    list.insert(list.end(), id.begin(), id.end());
    list.push_back(0);
  }
  list.push_back(0);
  return list;
}

}  // namespace

bool StageUsbDevice(const UsbDeviceSpec& device, std::string& error) {
  const GUID& setupClass = device.printerDriver ? PRINTER_SETUP_CLASS : USB_SETUP_CLASS;
  const ScopedDeviceInfoList devices(::SetupDiCreateDeviceInfoList(&setupClass, nullptr));
  if (!devices.IsValid()) return (error = LastErrorText("SetupDiCreateDeviceInfoList")), false;
  SP_DEVINFO_DATA node{};
  node.cbSize = sizeof(node);
  if (!::SetupDiCreateDeviceInfoA(devices.Get(), device.instanceId.c_str(), &setupClass, nullptr, nullptr, 0,
                                  &node)) {
    return (error = LastErrorText("SetupDiCreateDeviceInfoA " + device.instanceId)), false;
  }
  std::vector<BYTE> ids = HardwareIdList(device.hardwareIds);
  if (!device.hardwareIds.empty() &&
      !::SetupDiSetDeviceRegistryPropertyA(devices.Get(), &node, SPDRP_HARDWAREID, ids.data(),
                                           static_cast<DWORD>(ids.size()))) {
    return (error = LastErrorText("setting the hardware IDs of " + device.instanceId)), false;
  }
  if (!::SetupDiRegisterDeviceInfo(devices.Get(), &node, 0, nullptr, nullptr, nullptr)) {
    return (error = LastErrorText("registering " + device.instanceId)), false;
  }
  if (device.printerDriver && !WriteDriverKey(devices.Get(), node, *device.printerDriver)) {
    return (error = LastErrorText("writing the driver key of " + device.instanceId)), false;
  }
  return true;
}

std::optional<std::string> DeviceDriverKey(const std::string& instanceId) {
  const ScopedDeviceInfoList devices(::SetupDiCreateDeviceInfoList(nullptr, nullptr));
  SP_DEVINFO_DATA node{};
  node.cbSize = sizeof(node);
  char driver[256] = {};
  if (!devices.IsValid() || !::SetupDiOpenDeviceInfoA(devices.Get(), instanceId.c_str(), nullptr, 0, &node) ||
      !::SetupDiGetDeviceRegistryPropertyA(devices.Get(), &node, SPDRP_DRIVER, nullptr,
                                           reinterpret_cast<BYTE*>(driver), sizeof(driver) - 1, nullptr)) {
    return std::nullopt;
  }
  return std::string("SYSTEM\\CurrentControlSet\\Control\\Class\\") + driver;
}

bool DeviceNodeExists(const std::string& instanceId) {
  const ScopedDeviceInfoList devices(::SetupDiCreateDeviceInfoList(nullptr, nullptr));
  SP_DEVINFO_DATA node{};
  node.cbSize = sizeof(node);
  return devices.IsValid() &&
         ::SetupDiOpenDeviceInfoA(devices.Get(), instanceId.c_str(), nullptr, 0, &node) != FALSE;
}

}  // namespace stager

#include <windows.h>
#include <setupapi.h>

#include <optional>
#include <string>

#include "identity/target_identity.h"
#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"
#include "win/scoped_setup.h"

namespace stager {

namespace {

// The USB setup class, {36FC9E60-C465-11CF-8056-444553540000}.
const GUID USB_SETUP_CLASS = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The printer setup class, {4D36E979-E325-11CE-BFC1-08002BE10318}.
const GUID PRINTER_SETUP_CLASS = {0x4d36e979, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

bool WriteDriverKey(HDEVINFO devices, SP_DEVINFO_DATA& node, const DriverKeySpec& driver) {
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

bool StageDeviceNode(const DeviceNodeSpec& device, std::string& error) {
  const bool usbEnumerated = ::_strnicmp(device.instanceId.c_str(), "USB\\", 4) == 0;
  const GUID& setupClass = device.driver && !usbEnumerated ? PRINTER_SETUP_CLASS : USB_SETUP_CLASS;
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
  if (device.driver && !WriteDriverKey(devices.Get(), node, *device.driver)) {
    return (error = LastErrorText("writing the driver key of " + device.instanceId)), false;
  }
  if (!device.portName.empty() &&
      !WriteRegistryString(HKEY_LOCAL_MACHINE, std::string(DEVICE_ENUM_ROOT) + device.instanceId + "\\Device Parameters",
                           "Port Name", device.portName)) {
    return (error = "writing the device parameters of " + device.instanceId), false;
  }
  return true;
}

std::vector<DeviceNodeSpec> ModelPrinterNodes(const std::string& infName) {
  // The IDs the printer reports, its maker and model run together with a checksum, name the driver
  // in the model's INF.
  const std::string usbprint = DeviceIdOf(USBPRINT_ENUM_KEY);
  const std::string lptenum = DeviceIdOf(LPTENUM_ENUM_KEY);
  return {
      {usbprint + "\\7&2A1B3C4D&0&USB001",
       {usbprint + "6EA0", "KARVELOQTM-820wide6EA0"},
       DriverKeySpec{DRIVER_NAME, infName},
       "USB001"},
      {lptenum + "\\5&1C2D3E4F&0&LPT1",
       {lptenum + "6EA0", "KARVELOQTM-820wide6EA0"},
       DriverKeySpec{DRIVER_NAME, infName},
       "LPT1:"},
  };
}

DeviceNodeSpec SiblingPrinterNode(const std::string& infName) {
  return {"USBPRINT\\KARVELOQTM-820narrow\\7&3B4C5D6E&0&USB002",
          {"USBPRINT\\KARVELOQTM-820narrowB1C2", "KARVELOQTM-820narrowB1C2"},
          DriverKeySpec{std::string(DRIVER_NAME_PREFIX) + "QTM-820narrow", infName},
          "USB002"};
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

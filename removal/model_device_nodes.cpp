#include "removal/model_device_nodes.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "identity/target_identity.h"
#include "removal/registry_text.h"
#include "win/reg_key.h"

namespace {

// A node's hardware-ID list is read into this many bytes; a list that does not fit is not read,
// and the node is not taken for the model's.
constexpr DWORD HARDWARE_ID_LIST_SIZE = 100;
constexpr char USB_ENUMERATOR_PREFIX[] = "USB\\";
// A USB interface number is one byte.
constexpr unsigned MAX_INTERFACE_NUMBER = 0xFF;

// Adds each instance below the device key `deviceId` (below Enum) to `devices`. An instance key
// that the device installer does not know as a node is no node, and is passed over.
void AddInstancesOf(HDEVINFO devices, const std::string& deviceId) {
  RegKey deviceKey;
  const std::string path = DEVICE_ENUM_ROOT + deviceId;
  if (deviceKey.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS) return;
  (void)ForEachSubkey(deviceKey.Get(), [&](const std::string& instance) {
    (void)::SetupDiOpenDeviceInfoA(devices, (deviceId + "\\" + instance).c_str(), nullptr, 0, nullptr);
    return true;
  });
}

ScopedDeviceInfoList EmptyList() { return ScopedDeviceInfoList(::SetupDiCreateDeviceInfoList(nullptr, nullptr)); }

}  // namespace

ScopedDeviceInfoList ListUsbNodesFor(const char* hardwareIdPattern) {
  std::string deviceId(hardwareIdPattern, strnlen(hardwareIdPattern, USB_HARDWARE_ID_LENGTH));
  // In capitals, as the USB drivers write device IDs (hex digits included), so that each node is
  // opened by its own instance ID, spelled as Windows spells it, not as the pattern happens to be.
  for (char& c : deviceId) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  ScopedDeviceInfoList devices = EmptyList();
  if (!devices.IsValid() || deviceId.rfind(USB_ENUMERATOR_PREFIX, 0) != 0) return devices;
  // Registry names are found ignoring case, so each key is opened by its name alone: a few hundred
  // opens of keys mostly not there, where reading the name of every device key the machine has
  // ever seen costs a call for each of thousands.
  AddInstancesOf(devices.Get(), deviceId);
  for (unsigned function = 0; function <= MAX_INTERFACE_NUMBER; ++function) {
    char suffix[sizeof "&MI_FF"];
    (void)std::snprintf(suffix, sizeof suffix, "&MI_%02X", function);
    AddInstancesOf(devices.Get(), deviceId + suffix);
  }
  return devices;
}

ScopedDeviceInfoList ListNodesBelow(const char* enumerationKey) {
  ScopedDeviceInfoList devices = EmptyList();
  if (devices.IsValid()) AddInstancesOf(devices.Get(), DeviceIdOf(enumerationKey));
  return devices;
}

// Over the first 21 characters, ignoring case; where either ID ends sooner, both must end there.
bool FirstHardwareIdMatches(HDEVINFO devices, SP_DEVINFO_DATA& node, const char* pattern) {
  char hardwareIds[HARDWARE_ID_LIST_SIZE] = {};
  return ::SetupDiGetDeviceRegistryPropertyA(devices, &node, SPDRP_HARDWAREID, nullptr,
                                             reinterpret_cast<BYTE*>(hardwareIds), sizeof(hardwareIds),
                                             nullptr) &&
         ::_strnicmp(hardwareIds, pattern, USB_HARDWARE_ID_LENGTH) == 0;
}

bool CarriesTheModelsDriver(HDEVINFO devices, SP_DEVINFO_DATA& node) {
  // INVALID_HANDLE_VALUE for a node without a driver key: no driver was ever installed on it.
  const HKEY opened = ::SetupDiOpenDevRegKey(devices, &node, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
  if (opened == INVALID_HANDLE_VALUE) return false;
  const RegKey driverKey(opened);
  return ReadValueText(driverKey.Get(), "DriverDesc") == std::optional<std::string>(DRIVER_NAME);
}

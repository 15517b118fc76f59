// USB device nodes that carry the maker's vendor ID, the printer nodes below USBPRINT and LPTENUM
// that name the maker, and the device enumeration keys.

#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tools/inventory/inventory.h"
#include "tools/inventory/registry_walk.h"
#include "win/scoped_setup.h"

namespace inventory {

namespace {

constexpr char kVendorId[] = "VID_2E5B";

std::vector<std::string> HardwareIds(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  std::vector<std::string> ids;
  DWORD size = 0;
  ::SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, nullptr, nullptr, 0, &size);
  if (size == 0) return ids;
  std::vector<BYTE> list(size + 2, 0);
  if (!::SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, nullptr, list.data(), size, nullptr)) {
    return ids;
  }
  for (const char* id = reinterpret_cast<const char*>(list.data()); *id != '\0'; id += std::strlen(id) + 1) {
    ids.emplace_back(id);
  }
  return ids;
}

std::string InstanceId(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  char id[512] = {};
  ::SetupDiGetDeviceInstanceIdA(devices, &device, id, sizeof(id), nullptr);
  return id;
}

// The printer nodes of an enumerator that name the maker; the model's are those whose instance IDs
// begin with `modelPrefix`, in any case.
void AddPrinterNodes(const std::string& enumerator, const std::string& modelPrefix, std::vector<Item>& items) {
  const ScopedDeviceInfoList devices(::SetupDiGetClassDevsA(nullptr, enumerator.c_str(), nullptr, DIGCF_ALLCLASSES));
  if (!devices.IsValid()) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices.Get(), index, &device); ++index) {
    const std::string id = InstanceId(devices.Get(), device);
    if (!ContainsIgnoringCase(id, "KARVELO")) continue;
    const bool model = _strnicmp(id.c_str(), modelPrefix.c_str(), modelPrefix.size()) == 0;
    items.push_back({"printer device node", id, model ? Kind::Model : Kind::Other});
  }
}

}  // namespace

void AddDevices(std::vector<Item>& items) {
  ScopedDeviceInfoList devices(::SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES));
  if (devices.IsValid()) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices.Get(), index, &device); ++index) {
      const std::vector<std::string> ids = HardwareIds(devices.Get(), device);
      bool carriesVendor = false;
      for (const std::string& id : ids) carriesVendor = carriesVendor || ContainsIgnoringCase(id, kVendorId);
      if (!carriesVendor) continue;
      const bool model = _strnicmp(ids.front().c_str(), USB_HARDWARE_ID, USB_HARDWARE_ID_LENGTH) == 0;
      items.push_back({"USB device node", InstanceId(devices.Get(), device) + " (" + ids.front() + ")",
                       model ? Kind::Model : Kind::Other});
    }
  }
  for (const char* modelKey : {USBPRINT_ENUM_KEY, LPTENUM_ENUM_KEY}) {
    const std::string deviceId = DeviceIdOf(modelKey);
    const std::string enumerator = deviceId.substr(0, deviceId.find('\\'));
    AddPrinterNodes(enumerator, deviceId + "\\", items);
    const std::string key = DEVICE_ENUM_ROOT + enumerator;
    for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, key)) {
      if (!ContainsIgnoringCase(name, "KARVELO")) continue;
      const std::string path = key + "\\" + name;
      items.push_back({"enumeration key", path, _stricmp(path.c_str(), modelKey) == 0 ? Kind::Model : Kind::Other});
    }
  }
}

}  // namespace inventory

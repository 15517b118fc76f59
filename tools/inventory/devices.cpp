// USB device nodes that carry the maker's vendor ID, and the device enumeration keys.

#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/target_identity.h"
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
  for (const char* enumerator : {"USBPRINT", "LPTENUM"}) {
    const std::string key = std::string("SYSTEM\\CurrentControlSet\\Enum\\") + enumerator;
    for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, key)) {
      if (!ContainsIgnoringCase(name, "KARVELO")) continue;
      items.push_back({"enumeration key", key + "\\" + name, name == "KARVELOQTM-820wide" ? Kind::Model : Kind::Other});
    }
  }
}

}  // namespace inventory

// The product's Uninstall key (and other products' keys of the same maker), and the two spooler
// time-outs of the user's profile.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tools/inventory/inventory.h"
#include "tools/inventory/registry_walk.h"
#include "tools/stager/system_state.h"

namespace inventory {

namespace {

constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The profile as Windows maps it: section "windows" lives in the user's registry.
std::string ProfileValue(const char* key) {
  char value[256] = {};
  ::GetProfileStringA("windows", key, "(not set)", value, sizeof(value));
  return value;
}

}  // namespace

void AddProductKeys(std::vector<Item>& items) {
  for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, kUninstallRoot)) {
    if (!ContainsIgnoringCase(name, "KARVELO")) continue;
    const std::string key = std::string(kUninstallRoot) + "\\" + name;
    const std::optional<std::string> infFile = stager::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "InfFile");
    items.push_back({"Uninstall key", key + (infFile ? " (InfFile " + *infFile + ")" : ""),
                     key == UNINSTALL_KEY ? Kind::Model : Kind::Other});
  }
  for (const char* key : {"DeviceNotSelectedTimeout", "TransmissionRetryTimeout"}) {
    items.push_back({"profile value", std::string("windows: ") + key + " = " + ProfileValue(key), Kind::Setting});
  }
}

}  // namespace inventory

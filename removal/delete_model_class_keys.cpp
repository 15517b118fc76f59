#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "removal/printer_class_keys.h"
#include "removal/registry_text.h"
#include "removal/removal.h"
#include "win/reg_key.h"

namespace {

// The driver keys that the device nodes still below the model's enumeration keys name in their
// Driver value ("{4d36e979-...}\0001", below the Class key): nodes the device installer could not
// remove, which keep their own.
std::vector<std::string> DriverKeysOfRemainingNodes() {
  std::vector<std::string> named;
  for (const char* enumerationKey : {USBPRINT_ENUM_KEY, LPTENUM_ENUM_KEY}) {
    RegKey nodes;
    if (nodes.Open(HKEY_LOCAL_MACHINE, enumerationKey, KEY_READ) != ERROR_SUCCESS) continue;
    (void)ForEachSubkey(nodes.Get(), [&](const std::string& instance) {
      RegKey node;
      const std::string path = std::string(enumerationKey) + "\\" + instance;
      if (node.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != ERROR_SUCCESS) return true;
      if (std::optional<std::string> driver = ReadValueText(node.Get(), "Driver")) named.push_back(*driver);
      return true;
    });
  }
  return named;
}

bool EndsWithKey(const std::string& path, const std::string& key) {
  return !key.empty() && path.size() > key.size() && path[path.size() - key.size() - 1] == '\\' &&
         ::_stricmp(path.c_str() + path.size() - key.size(), key.c_str()) == 0;
}

}  // namespace

RemovalResult DeleteModelClassKeys() {
  const std::vector<std::string> inUse = DriverKeysOfRemainingNodes();
  // Deleting while the walk goes on would move the keys after each deleted one down an index.
  std::vector<std::string> keys;
  RemovalResult result;
  result.FailUnlessGone(static_cast<DWORD>(ForEachModelClassKey([&](HKEY, const std::string& path) {
    const auto namesIt = [&](const std::string& driverKey) { return EndsWithKey(path, driverKey); };
    if (std::none_of(inUse.begin(), inUse.end(), namesIt)) keys.push_back(path);
    return true;
  })));
  for (const std::string& path : keys) result.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()));
  return result;
}

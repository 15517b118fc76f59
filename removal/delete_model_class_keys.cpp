#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "removal/printer_class_keys.h"
#include "removal/removal.h"

void DeleteModelClassKeys() {
  // Deleting while the walk goes on would move the keys after each deleted one down an index.
  std::vector<std::string> keys;
  ForEachModelClassKey([&](HKEY, const std::string& path) {
    keys.push_back(path);
    return true;
  });
  for (const std::string& path : keys) (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

#include "tools/inventory/registry_walk.h"

#include "win/reg_key.h"
#include "win/unique_handle.h"

namespace inventory {

std::vector<std::string> SubkeyNames(HKEY root, const std::string& key) {
  std::vector<std::string> names;
  RegKey opened;
  if (opened.Open(root, key.c_str(), KEY_READ) != ERROR_SUCCESS) return names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD size = sizeof(name);
    const LONG status = ::RegEnumKeyExA(opened.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) names.emplace_back(name, size);
  }
  return names;
}

std::vector<std::string> FileNames(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(::FindFirstFileA((folder + "\\" + pattern).c_str(), &found));
  if (!search.IsValid()) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(search.Get(), &found));
  return names;
}

}  // namespace inventory

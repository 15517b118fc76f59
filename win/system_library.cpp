#include "win/system_library.h"

#include <string>

#include "win/well_known_dirs.h"

HMODULE LoadSystemLibrary(const char* fileName) {
  const std::optional<std::string> systemDirectory = SystemDirectory();
  if (!systemDirectory) return nullptr;
  const std::string path = *systemDirectory + "\\" + fileName;
  return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

#include "removal/registry_text.h"

#include <cstring>

namespace {

constexpr DWORD kValueBufferSize = 256;

// Without a bound, a key that fails every index with another error would be walked for ever.
constexpr int kMostFailedIndicesInARow = 16;

}  // namespace

std::optional<std::string> ReadValueText(HKEY key, const char* valueName) {
  char buffer[kValueBufferSize] = {};
  DWORD size = kValueBufferSize;
  if (::RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // A value that fills all 256 bytes has no terminator in the buffer.
  return std::string(buffer, ::strnlen(buffer, kValueBufferSize));
}

LONG ForEachSubkey(HKEY key, const std::function<bool(const std::string& name)>& visit) {
  int failedInARow = 0;
  for (DWORD index = 0;; ++index) {
    char name[256] = {};
    DWORD nameSize = sizeof name;
    const LONG status = ::RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) {
      if (++failedInARow == kMostFailedIndicesInARow) return status;
      continue;
    }
    failedInARow = 0;
    if (!visit(std::string(name, nameSize))) return ERROR_SUCCESS;
  }
}

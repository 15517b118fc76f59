#include "removal/registry_text.h"

#include <cstring>

namespace {
constexpr DWORD kValueBufferSize = 256;
}

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

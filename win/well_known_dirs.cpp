#include "win/well_known_dirs.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

namespace {

// GetWindowsDirectoryA and GetSystemDirectoryA answer with the size they need when the buffer is
// too small, and 0 on failure.
template <typename Query>
std::optional<std::string> AskForDirectory(Query query) {
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.assign(length + 1, '\0');
  }
  return std::nullopt;
}

// The spooler's directory queries report the bytes they need through their last argument.
template <typename Query>
std::optional<std::string> AskSpoolerForDirectory(Query query) {
  std::vector<BYTE> buffer(MAX_PATH + 1, 0);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD needed = 0;
    if (query(buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
      buffer.back() = 0;
      const std::string path(reinterpret_cast<const char*>(buffer.data()));
      if (path.empty()) return std::nullopt;
      return path;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) break;
    buffer.assign(needed + 1, 0);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WindowsDirectory() {
  return AskForDirectory([](char* buffer, UINT size) { return ::GetWindowsDirectoryA(buffer, size); });
}

std::optional<std::string> SystemDirectory() {
  return AskForDirectory([](char* buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); });
}

std::optional<std::string> PrinterDriverDirectory() {
  return AskSpoolerForDirectory([](BYTE* buffer, DWORD size, DWORD* needed) {
    return ::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, buffer, size, needed) != FALSE;
  });
}

std::optional<std::string> PrintProcessorDirectory() {
  return AskSpoolerForDirectory([](BYTE* buffer, DWORD size, DWORD* needed) {
    return ::GetPrintProcessorDirectoryA(nullptr, nullptr, 1, buffer, size, needed) != FALSE;
  });
}

std::optional<std::string> InfDirectory() {
  std::optional<std::string> windows = WindowsDirectory();
  if (!windows) return std::nullopt;
  return *windows + "\\inf";
}

#include "tools/stager/system_state.h"

#include <winspool.h>

#include "win/reg_key.h"

namespace stager {

bool WriteRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  RegKey opened;
  if (opened.Create(root, key.c_str(), KEY_WRITE) != ERROR_SUCCESS) return false;
  return ::RegSetValueExA(opened.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const std::string& bytes) {
  RegKey opened;
  if (opened.Create(root, key.c_str(), KEY_WRITE) != ERROR_SUCCESS) return false;
  return ::RegSetValueExA(opened.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WriteRegistryDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  RegKey opened;
  if (opened.Create(root, key.c_str(), KEY_WRITE) != ERROR_SUCCESS) return false;
  return ::RegSetValueExA(opened.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
  RegKey opened;
  return opened.Open(root, key.c_str(), KEY_READ) == ERROR_SUCCESS;
}

std::optional<std::string> ReadRegistryString(HKEY root, const std::string& key, const std::string& name) {
  RegKey opened;
  if (opened.Open(root, key.c_str(), KEY_READ) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::string value(size + 1, '\0');
  if (::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value[0]),
                         &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(value.find('\0') == std::string::npos ? size : value.find('\0'));
  return value;
}

bool WriteFileText(const std::string& path, const std::string& content) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = content.empty() ||
                  (::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                   written == content.size());
  return ::CloseHandle(file) && ok;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectories(const std::string& path) {
  if (path.empty() || DirectoryExists(path)) return true;
  const size_t separator = path.find_last_of('\\');
  if (separator != std::string::npos && separator > 2 && !MakeDirectories(path.substr(0, separator))) {
    return false;
  }
  return ::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

std::vector<ListedPrinter> ListPrinters() {
  std::vector<ListedPrinter> printers;
  DWORD needed = 0, returned = 0;
  ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  if (!::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned)) return printers;
  const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) {
    printers.push_back({records[i].pPrinterName ? records[i].pPrinterName : "",
                        records[i].pDriverName ? records[i].pDriverName : ""});
  }
  return printers;
}

std::vector<std::string> ListPrinterDrivers() {
  std::vector<std::string> drivers;
  DWORD needed = 0, returned = 0;
  ::EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  if (!::EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned)) return drivers;
  const auto* records = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) drivers.push_back(records[i].pName ? records[i].pName : "");
  return drivers;
}

std::string LastErrorText(const std::string& what) {
  return what + " failed with " + std::to_string(::GetLastError());
}

}  // namespace stager

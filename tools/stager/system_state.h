#pragma once

// Small helpers the stager and the tests share for making and looking at system state.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace stager {

bool WriteRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
// Writes the bytes as they are, with the type given: no terminator is added.
bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const std::string& bytes);
bool WriteRegistryDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
bool RegistryKeyExists(HKEY root, const std::string& key);
std::optional<std::string> ReadRegistryString(HKEY root, const std::string& key, const std::string& name);

bool WriteFileText(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the directory and every missing parent.
bool MakeDirectories(const std::string& path);

// The local printers' names, and their drivers' names, as the spooler lists them.
struct ListedPrinter {
  std::string name;
  std::string driverName;
};
std::vector<ListedPrinter> ListPrinters();
std::vector<std::string> ListPrinterDrivers();

std::string LastErrorText(const std::string& what);

}  // namespace stager

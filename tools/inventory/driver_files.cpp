// The driver's files in their four directories, look-alikes beside them, and the data directory.

#include <windows.h>

#include <cctype>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tools/inventory/inventory.h"
#include "tools/inventory/registry_walk.h"
#include "win/well_known_dirs.h"

namespace inventory {

namespace {

struct Folder {
  std::optional<std::string> path;
  std::set<std::string> modelFiles;  // in upper case; file names compare ignoring case
};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Files whose names carry the model's number, each the model's own or a look-alike.
void AddFolder(std::vector<Item>& items, const Folder& folder) {
  if (!folder.path) return;
  for (const std::string& name : FileNames(*folder.path, "*820w*")) {
    const std::string path = *folder.path + "\\" + name;
    if (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) continue;
    items.push_back({"driver file", path, folder.modelFiles.count(Upper(name)) ? Kind::Model : Kind::Other});
  }
}

std::optional<std::string> Below(const std::optional<std::string>& folder, const std::string& name) {
  if (!folder) return std::nullopt;
  return *folder + "\\" + name;
}

size_t CountFiles(const std::string& folder) {
  size_t count = 0;
  for (const std::string& name : FileNames(folder, "*")) {
    const std::string path = folder + "\\" + name;
    count += (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(path) : 1;
  }
  return count;
}

}  // namespace

void AddDriverFiles(std::vector<Item>& items) {
  const std::optional<std::string> driverDirectory = PrinterDriverDirectory();
  AddFolder(items, {SystemDirectory(), {"MON820W.DLL"}});
  AddFolder(items, {PrintProcessorDirectory(), {"PRO820W.DLL"}});
  AddFolder(items, {Below(driverDirectory, "3"),
                    {"QTM820WE.DLL", "QTM820WE.GPD", "QTM820WE.BUD", "UI820W.DLL", "UNI820W.DLL", "UI820W.INI"}});
  AddFolder(items, {WindowsDirectory(), {"QTM820WE.DLL", "QTM820WE.GPD", "UI820W.DLL", "UNI820W.DLL", "UI820W.INI"}});
  if (!driverDirectory) return;
  for (const std::string& name : FileNames(*driverDirectory, "*")) {
    const std::string path = *driverDirectory + "\\" + name;
    if (!(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (name == DRIVER_DIR_NAME) {
      items.push_back({"data directory", path + " (" + std::to_string(CountFiles(path)) + " files)", Kind::Model});
    } else if (ContainsIgnoringCase(name, "karvelo")) {
      items.push_back({"data directory", path, Kind::Other});
    } else if (name != "3") {
      AddFolder(items, {path, {}});
    }
  }
}

}  // namespace inventory

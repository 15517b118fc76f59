#include "tools/inventory/inventory.h"

#include <windows.h>

#include "app/target_identity.h"
#include "tools/stager/system_state.h"
#include "win/reg_key.h"

namespace inventory {

namespace {

constexpr char kSettingsRoot[] = "SOFTWARE\\KARVELO_POS_PRINTER";

std::vector<std::string> SubkeyNames(HKEY root, const std::string& key) {
  std::vector<std::string> names;
  RegKey opened;
  if (opened.Open(root, key.c_str(), KEY_READ) != ERROR_SUCCESS) return names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD size = sizeof(name);
    if (::RegEnumKeyExA(opened.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, size);
  }
  return names;
}

void AddPrinters(std::vector<Item>& items) {
  for (const stager::ListedPrinter& printer : stager::ListPrinters()) {
    items.push_back({"printer", printer.name + " (driver " + printer.driverName + ")",
                     printer.driverName == DRIVER_NAME});
  }
  for (const std::string& key : SubkeyNames(HKEY_LOCAL_MACHINE, kSettingsRoot)) {
    items.push_back({"printer settings key", std::string(kSettingsRoot) + "\\" + key, true});
  }
}

void AddDrivers(std::vector<Item>& items) {
  for (const std::string& driver : stager::ListPrinterDrivers()) {
    items.push_back({"printer driver", driver, driver == DRIVER_NAME});
  }
}

void AddUninstallKey(std::vector<Item>& items) {
  if (!stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY)) return;
  const std::optional<std::string> infFile =
      stager::ReadRegistryString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "InfFile");
  items.push_back({"Uninstall key", std::string(UNINSTALL_KEY) + (infFile ? " (InfFile " + *infFile + ")" : ""),
                   true});
}

}  // namespace

std::vector<Item> TakeInventory() {
  std::vector<Item> items;
  AddPrinters(items);
  AddDrivers(items);
  AddUninstallKey(items);
  return items;
}

std::vector<std::string> ModelArtefacts(const std::vector<Item>& items) {
  std::vector<std::string> lines;
  for (const Item& item : items) {
    if (item.ofTheModel) lines.push_back(item.category + ": " + item.name);
  }
  return lines;
}

std::string Format(const std::vector<Item>& items) {
  std::string text;
  std::string category;
  for (const Item& item : items) {
    if (item.category != category) {
      category = item.category;
      text += category + "\n";
    }
    text += std::string(item.ofTheModel ? "  [model] " : "  [other] ") + item.name + "\n";
  }
  return text.empty() ? "  (nothing)\n" : text;
}

}  // namespace inventory

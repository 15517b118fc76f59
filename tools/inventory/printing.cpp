// Printers, their settings keys, drivers, forms, the language monitor and the print processor.

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "identity/target_identity.h"
#include "tools/inventory/inventory.h"
#include "tools/inventory/registry_walk.h"
#include "tools/stager/system_state.h"

namespace inventory {

namespace {

constexpr char kSettingsRoot[] = "SOFTWARE\\KARVELO_POS_PRINTER";
constexpr char kDriversKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3";
constexpr char kMonitorsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
constexpr char kProcessorsKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors";
constexpr char kMonitorName[] = "KVL Language Monitor QTM820wide";
constexpr char kProcessorName[] = "KVL PRINT PROCESSOR QTM820wide";

void AddLookalikeKeys(std::vector<Item>& items, const char* category, const char* key, const char* marker,
                      const char* modelName) {
  for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, key)) {
    if (!ContainsIgnoringCase(name, marker)) continue;
    items.push_back({category, std::string(key) + "\\" + name, name == modelName ? Kind::Model : Kind::Other});
  }
}

void AddForms(std::vector<Item>& items) {
  HANDLE server = nullptr;
  if (!::OpenPrinterA(nullptr, &server, nullptr)) return;
  DWORD needed = 0, count = 0;
  ::EnumFormsA(server, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 1);
  if (::EnumFormsA(server, 1, buffer.data(), needed, &needed, &count)) {
    const auto* forms = reinterpret_cast<const FORM_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      const std::string name = forms[i].pName != nullptr ? forms[i].pName : "";
      if (!ContainsIgnoringCase(name, "820w")) continue;
      items.push_back({"form", name, name.find("820wide") != std::string::npos ? Kind::Model : Kind::Other});
    }
  }
  ::ClosePrinter(server);
}

}  // namespace

void AddPrinting(std::vector<Item>& items) {
  for (const stager::ListedPrinter& printer : stager::ListPrinters()) {
    items.push_back({"printer", printer.name + " (driver " + printer.driverName + ")",
                     printer.driverName == DRIVER_NAME ? Kind::Model : Kind::Other});
  }
  for (const std::string& key : SubkeyNames(HKEY_LOCAL_MACHINE, kSettingsRoot)) {
    items.push_back({"printer settings key", std::string(kSettingsRoot) + "\\" + key, Kind::Model});
  }
  for (const std::string& driver : stager::ListPrinterDrivers()) {
    items.push_back({"printer driver", driver, driver == DRIVER_NAME ? Kind::Model : Kind::Other});
  }
  AddLookalikeKeys(items, "printer driver key", kDriversKey, "KARVELO", DRIVER_NAME);
  AddForms(items);
  AddLookalikeKeys(items, "language monitor key", kMonitorsKey, "KVL", kMonitorName);
  AddLookalikeKeys(items, "print processor key", kProcessorsKey, "KVL", kProcessorName);
}

}  // namespace inventory

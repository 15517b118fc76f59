#include "removal/removal.h"

#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <algorithm>
#include <vector>

#include "identity/target_identity.h"
#include "win/scoped_printer.h"

namespace {

void DeletePrinterQueue(const std::string& name) {
  std::vector<char> printerName(name.begin(), name.end());
  printerName.push_back('\0');
  char dataType[] = "RAW";
  PRINTER_DEFAULTSA access{dataType, nullptr, PRINTER_ALL_ACCESS};
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(printerName.data(), &opened, &access)) return;
  const ScopedPrinter printer(opened);
  (void)::DeletePrinter(printer.Get());
}

}  // namespace

std::string PrinterSettingsKey(const std::string& printerName) {
  std::string key = printerName;
  std::replace(key.begin(), key.end(), ' ', '_');
  return PRINTER_SETTINGS_KEY_PREFIX + key;
}

void DeletePrinters(const StringList& printerNames) {
  for (const std::string& name : printerNames) {
    DeletePrinterQueue(name);
    (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, PrinterSettingsKey(name).c_str());
  }
}

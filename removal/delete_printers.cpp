#include "removal/removal.h"

#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <algorithm>
#include <vector>

#include "identity/target_identity.h"
#include "win/scoped_printer.h"

namespace {

// A printer that is not there (any more) is no failure: another program may have deleted it
// since the scan.
void DeletePrinterQueue(const std::string& name, RemovalResult& result) {
  std::vector<char> printerName(name.begin(), name.end());
  printerName.push_back('\0');
  char dataType[] = "RAW";
  PRINTER_DEFAULTSA access{dataType, nullptr, PRINTER_ALL_ACCESS};
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(printerName.data(), &opened, &access)) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_PRINTER_NAME) result.Fail(error);
    return;
  }
  const ScopedPrinter printer(opened);
  if (!::DeletePrinter(printer.Get())) result.FailWithLastError();
}

}  // namespace

std::string PrinterSettingsKey(const std::string& printerName) {
  std::string key = printerName;
  std::replace(key.begin(), key.end(), ' ', '_');
  return PRINTER_SETTINGS_KEY_PREFIX + key;
}

void DeletePrinters(const StringList& printerNames, const ReportStep& report) {
  for (const std::string& name : printerNames) {
    RemovalResult result;
    DeletePrinterQueue(name, result);
    result.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, PrinterSettingsKey(name).c_str()));
    ReportTo(report, "Delete the printer \"" + name + "\" and its settings key", result);
  }
}

#include "removal/removal.h"

#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <algorithm>
#include <set>
#include <vector>

#include "identity/target_identity.h"
#include "removal/model_printers.h"
#include "win/scoped_printer.h"

namespace {

// A receipt printer switched off or out of paper holds its jobs for ever: "DeletePrinter" then
// marks it for pending deletion only, and a paused printer with jobs refuses it with
// ERROR_ACCESS_DENIED. Its jobs go first (PRINTER_CONTROL_PURGE, which the handle's administer
// access allows), while it is still paused: resumed first, it would hand its head job to the port,
// where a printer that is off holds it as printing, out of the purge's reach until the spooler
// restarts. Then it runs again, so that nothing keeps its deletion waiting. Neither outcome matters
// here: whether the printer went is seen in the spooler's list afterwards.
void EmptyTheQueue(HANDLE printer, const PrinterQueueCalls& calls) {
  PRINTER_INFO_6 status{};
  DWORD needed = 0;
  const bool paused = calls.getPrinter(printer, 6, reinterpret_cast<BYTE*>(&status), sizeof status, &needed) &&
                      (status.dwStatus & PRINTER_STATUS_PAUSED) != 0;
  (void)calls.setPrinter(printer, 0, nullptr, PRINTER_CONTROL_PURGE);
  if (paused) (void)calls.setPrinter(printer, 0, nullptr, PRINTER_CONTROL_RESUME);
}

// A printer that is not there (any more) is no failure: another program may have deleted it
// since the scan. True when the spooler took the deletion on.
bool DeletePrinterQueue(const std::string& name, const PrinterQueueCalls& calls, RemovalResult& result) {
  std::vector<char> printerName(name.begin(), name.end());
  printerName.push_back('\0');
  char dataType[] = "RAW";
  PRINTER_DEFAULTSA access{dataType, nullptr, PRINTER_ALL_ACCESS};
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(printerName.data(), &opened, &access)) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_PRINTER_NAME) result.Fail(error);
    return false;
  }
  const ScopedPrinter printer(opened);
  EmptyTheQueue(printer.Get(), calls);
  if (::DeletePrinter(printer.Get())) return true;
  result.FailWithLastError();
  return false;
}

}  // namespace

std::string PrinterSettingsKey(const std::string& printerName) {
  std::string key = printerName;
  std::replace(key.begin(), key.end(), ' ', '_');
  return PRINTER_SETTINGS_KEY_PREFIX + key;
}

void DeletePrinters(const StringList& printerNames, const ReportStep& report, const PrinterQueueCalls& calls) {
  std::vector<RemovalResult> results;
  std::set<std::string> deleted;
  for (const std::string& name : printerNames) {
    RemovalResult result;
    if (DeletePrinterQueue(name, calls, result)) deleted.insert(name);
    result.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, PrinterSettingsKey(name).c_str()));
    results.push_back(result);
  }
  const std::set<std::string> pending = StillListedAfterTheirDeletion(deleted);
  auto result = results.begin();
  for (const std::string& name : printerNames) {
    if (pending.count(name) != 0) {
      result->Fail(ERROR_BUSY);
      result->Note("still listed: the spooler deletes it once its jobs are gone");
    }
    ReportTo(report, "Delete the printer \"" + name + "\" and its settings key", *result++);
  }
}

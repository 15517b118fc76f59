#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <initializer_list>
#include <optional>
#include <set>
#include <string>

#include "identity/target_identity.h"
#include "removal/delete_at_restart.h"
#include "removal/driver_package_names.h"
#include "removal/model_printers.h"
#include "removal/removal.h"
#include "removal/spooler_service.h"
#include "win/scoped_printer.h"
#include "win/spooler_enumeration.h"

namespace {

RemovalResult DeletePackageForms(const std::string& marker, const PackageSpoolerCalls& spooler) {
  RemovalResult result;
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(nullptr, &opened, nullptr)) {
    result.FailWithLastError();
    return result;
  }
  const ScopedPrinter server(opened);
  SpoolerList forms;
  const bool listed = EnumerateSpoolerList(
      [&](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return spooler.enumForms(server.Get(), 1, buffer, size, needed, returned) != FALSE;
      },
      forms);
  if (!listed) {
    result.FailWithLastError();
    return result;
  }
  const FORM_INFO_1A* records = forms.Records<FORM_INFO_1A>();
  for (DWORD i = 0; i < forms.count; ++i) {
    char* name = records[i].pName;
    if (name != nullptr && ::StrStrA(name, marker.c_str()) != nullptr && !spooler.deleteForm(server.Get(), name)) {
      result.FailWithLastError();
    }
  }
  return result;
}

// Deleting the keys of a driver, monitor or processor from under a spooler that still uses them
// corrupts the spooler's state. It may still use them while a printer of the model is listed (one
// pending deletion until its jobs are gone, say), or when it says so; a printer list that cannot
// be read proves nothing.
enum class KeysKept { No, InUse, PrintersUnknown, PrinterListed };

KeysKept WhyTheSpoolerMayStillUseIt(DWORD refusal) {
  if (refusal == ERROR_PRINTER_DRIVER_IN_USE || refusal == ERROR_PRINT_MONITOR_IN_USE) return KeysKept::InUse;
  StringList printers;
  const std::optional<int> found = CollectModelPrinters(printers);
  if (!found) return KeysKept::PrintersUnknown;
  return *found != 0 ? KeysKept::PrinterListed : KeysKept::No;
}

const char* Why(KeysKept kept) {
  switch (kept) {
    case KeysKept::InUse: return "the spooler uses it";
    case KeysKept::PrintersUnknown: return "the printers could not be listed";
    case KeysKept::PrinterListed: return "a printer of the model is still listed";
    case KeysKept::No: break;
  }
  return "";
}

// How a deletion through the spooler, or of the keys instead, went; and whether the keys stayed
// only because a printer of the model was listed then.
struct PartDeletion {
  RemovalResult result;
  bool keptForAListedPrinter = false;
};

// Where the spooler refuses, the registry keys it keeps go directly, unless it may still use them;
// the step's outcome is theirs, or the refusal.
PartDeletion DeleteKeysInstead(DWORD refusal, std::initializer_list<const std::string*> keys) {
  PartDeletion deletion;
  const KeysKept kept = WhyTheSpoolerMayStillUseIt(refusal);
  if (kept != KeysKept::No) {
    deletion.result.Fail(refusal);
    deletion.result.Note(std::string("its registry keys kept: ") + Why(kept));
    deletion.keptForAListedPrinter = kept == KeysKept::PrinterListed;
    return deletion;
  }
  for (const std::string* key : keys) deletion.result.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, key->c_str()));
  return deletion;
}

// Only version 3 of the driver, and not its files: those are deleted by name further on.
PartDeletion DeletePackageDriver(DriverPackageNames& names, const PackageSpoolerCalls& spooler) {
  std::string environment = PRINT_ENVIRONMENT;
  if (spooler.deletePrinterDriverEx(nullptr, environment.data(), names.driverName.data(),
                                    DPD_DELETE_SPECIFIC_VERSION, 3)) {
    return PartDeletion{};
  }
  return DeleteKeysInstead(::GetLastError(), {&names.driverKey, &names.driverPrinterKey});
}

RemovalResult DeletePackageMonitor(DriverPackageNames& names) {
  std::string environment = PRINT_ENVIRONMENT;
  if (::DeleteMonitorA(nullptr, environment.data(), names.monitorName.data())) return RemovalResult{};
  return DeleteKeysInstead(::GetLastError(), {&names.monitorKey}).result;
}

RemovalResult DeletePackageProcessor(DriverPackageNames& names, const PackageSpoolerCalls& spooler) {
  std::string environment = PRINT_ENVIRONMENT;
  if (spooler.deletePrintProcessor(nullptr, environment.data(), names.processorName.data())) return RemovalResult{};
  return DeleteKeysInstead(::GetLastError(), {&names.processorKey}).result;
}

// A printer pending deletion goes with the spooler's restart: its stop drops the jobs that the
// port held ("printing" or "deleting" in a printer that is off), and the spooler finishes the
// deletions it had taken on as it starts again. Those still listed a few seconds after it, a
// printer of the model that the code page cannot name among them, stay.
RemovalResult LookAgainForThePrintersListed() {
  RemovalResult result;
  StringList printers;
  const std::optional<int> found = CollectModelPrinters(printers);
  if (!found) {
    result.FailWithLastError();
    return result;
  }
  const std::set<std::string> listed = StillListedAfterTheirDeletion({printers.begin(), printers.end()});
  for (const std::string& name : listed) result.Note("still listed: \"" + name + "\"");
  if (!listed.empty() || static_cast<size_t>(*found) != printers.size()) result.Fail(ERROR_BUSY);
  return result;
}

// A file in use (the monitor loaded by the spooler, say) goes at the next restart, which the
// uninstaller offers.
RemovalResult DeletePackageFiles(const DriverPackageNames& names) {
  RemovalResult result;
  for (const std::optional<std::string>& path : DriverPackageFilePaths(names)) {
    if (path) {
      result.Add(DeleteFileOrScheduleAtRestart(*path));
    } else {
      result.Fail(ERROR_PATH_NOT_FOUND);
    }
  }
  return result;
}

}  // namespace

void RemoveDriverPackage(const char* model, const char* letter, const ReportStep& report,
                         const PackageSpoolerCalls& spooler) {
  std::optional<DriverPackageNames> names = ComposeDriverPackageNames(model, letter);
  if (!names) return;
  ReportTo(report, "Delete the forms of the model", DeletePackageForms(names->formMarker, spooler));
  const std::string driverStep = "Delete the printer driver \"" + names->driverName + "\"";
  const PartDeletion driver = DeletePackageDriver(*names, spooler);
  ReportTo(report, driverStep, driver.result);
  ReportTo(report, "Restart the print spooler", RemovalResult{RestartSpoolerService()});
  // Only a till whose printer was pending deletion has these two steps; the driver is tried again
  // once the printers went, as it would have been had they gone before.
  if (driver.keptForAListedPrinter) {
    const RemovalResult lookedAgain = LookAgainForThePrintersListed();
    ReportTo(report, "Look again for the printers of the model after the spooler restart", lookedAgain);
    if (lookedAgain.Succeeded()) {
      ReportTo(report, driverStep + " once they went", DeletePackageDriver(*names, spooler).result);
    }
  }
  ReportTo(report, "Delete the language monitor \"" + names->monitorName + "\"", DeletePackageMonitor(*names));
  ReportTo(report, "Delete the print processor \"" + names->processorName + "\"",
           DeletePackageProcessor(*names, spooler));
  ReportTo(report, "Delete the driver files", DeletePackageFiles(*names));
  RemovalResult uninstallKey;
  uninstallKey.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, names->uninstallKey.c_str()));
  ReportTo(report, "Delete the Uninstall key", uninstallKey);
}

#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <initializer_list>
#include <optional>
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
// be read proves nothing. Why the keys must stay; nothing when they may go.
std::optional<std::string> WhyTheSpoolerMayStillUseIt(DWORD refusal) {
  if (refusal == ERROR_PRINTER_DRIVER_IN_USE || refusal == ERROR_PRINT_MONITOR_IN_USE) return "the spooler uses it";
  StringList printers;
  const std::optional<int> found = CollectModelPrinters(printers);
  if (!found) return "the printers could not be listed";
  if (*found != 0) return "a printer of the model is still listed";
  return std::nullopt;
}

// Where the spooler refuses, the registry keys it keeps go directly, unless it may still use them;
// the step's outcome is theirs, or the refusal.
RemovalResult DeleteKeysInstead(DWORD refusal, std::initializer_list<const std::string*> keys) {
  RemovalResult result;
  if (const std::optional<std::string> why = WhyTheSpoolerMayStillUseIt(refusal)) {
    result.Fail(refusal);
    result.Note("its registry keys kept: " + *why);
    return result;
  }
  for (const std::string* key : keys) result.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, key->c_str()));
  return result;
}

// Only version 3 of the driver, and not its files: those are deleted by name further on.
RemovalResult DeletePackageDriver(DriverPackageNames& names, const PackageSpoolerCalls& spooler) {
  std::string environment = PRINT_ENVIRONMENT;
  if (spooler.deletePrinterDriverEx(nullptr, environment.data(), names.driverName.data(),
                                    DPD_DELETE_SPECIFIC_VERSION, 3)) {
    return RemovalResult{};
  }
  return DeleteKeysInstead(::GetLastError(), {&names.driverKey, &names.driverPrinterKey});
}

RemovalResult DeletePackageMonitor(DriverPackageNames& names) {
  std::string environment = PRINT_ENVIRONMENT;
  if (::DeleteMonitorA(nullptr, environment.data(), names.monitorName.data())) return RemovalResult{};
  return DeleteKeysInstead(::GetLastError(), {&names.monitorKey});
}

RemovalResult DeletePackageProcessor(DriverPackageNames& names, const PackageSpoolerCalls& spooler) {
  std::string environment = PRINT_ENVIRONMENT;
  if (spooler.deletePrintProcessor(nullptr, environment.data(), names.processorName.data())) return RemovalResult{};
  return DeleteKeysInstead(::GetLastError(), {&names.processorKey});
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
  ReportTo(report, "Delete the printer driver \"" + names->driverName + "\"", DeletePackageDriver(*names, spooler));
  ReportTo(report, "Restart the print spooler", RemovalResult{RestartSpoolerService()});
  ReportTo(report, "Delete the language monitor \"" + names->monitorName + "\"", DeletePackageMonitor(*names));
  ReportTo(report, "Delete the print processor \"" + names->processorName + "\"",
           DeletePackageProcessor(*names, spooler));
  ReportTo(report, "Delete the driver files", DeletePackageFiles(*names));
  RemovalResult uninstallKey;
  uninstallKey.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, names->uninstallKey.c_str()));
  ReportTo(report, "Delete the Uninstall key", uninstallKey);
}

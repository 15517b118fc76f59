#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <optional>
#include <string>

#include "identity/target_identity.h"
#include "removal/delete_at_restart.h"
#include "removal/driver_package_names.h"
#include "removal/removal.h"
#include "removal/spooler_service.h"
#include "win/scoped_printer.h"
#include "win/spooler_enumeration.h"

namespace {

void DeletePackageForms(const std::string& marker, const PackageSpoolerCalls& spooler) {
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(nullptr, &opened, nullptr)) return;
  const ScopedPrinter server(opened);
  SpoolerList forms;
  const bool listed = EnumerateSpoolerList(
      [&](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return spooler.enumForms(server.Get(), 1, buffer, size, needed, returned) != FALSE;
      },
      forms);
  if (!listed) return;
  const FORM_INFO_1A* records = forms.Records<FORM_INFO_1A>();
  for (DWORD i = 0; i < forms.count; ++i) {
    char* name = records[i].pName;
    if (name != nullptr && ::StrStrA(name, marker.c_str()) != nullptr) {
      (void)spooler.deleteForm(server.Get(), name);
    }
  }
}

// Only version 3 of the driver, and not its files: those are deleted by name further on.
void DeletePackageDriver(DriverPackageNames& names) {
  std::string environment = PRINT_ENVIRONMENT;
  if (::DeletePrinterDriverExA(nullptr, environment.data(), names.driverName.data(),
                               DPD_DELETE_SPECIFIC_VERSION, 3)) {
    return;
  }
  (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, names.driverKey.c_str());
  (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, names.driverPrinterKey.c_str());
}

void DeletePackageMonitor(DriverPackageNames& names) {
  std::string environment = PRINT_ENVIRONMENT;
  if (::DeleteMonitorA(nullptr, environment.data(), names.monitorName.data())) return;
  (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, names.monitorKey.c_str());
}

void DeletePackageProcessor(DriverPackageNames& names, const PackageSpoolerCalls& spooler) {
  std::string environment = PRINT_ENVIRONMENT;
  if (spooler.deletePrintProcessor(nullptr, environment.data(), names.processorName.data())) return;
  (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, names.processorKey.c_str());
}

// A file in use (the monitor loaded by the spooler, say) goes at the next restart, which the
// uninstaller offers.
void DeletePackageFiles(const DriverPackageNames& names) {
  for (const std::string& path : DriverPackageFilePaths(names)) (void)DeleteFileOrScheduleAtRestart(path);
}

}  // namespace

void RemoveDriverPackage(const char* model, const char* letter, Pause pause, const PackageSpoolerCalls& spooler) {
  std::optional<DriverPackageNames> names = ComposeDriverPackageNames(model, letter);
  if (!names) return;
  DeletePackageForms(names->formMarker, spooler);
  DeletePackageDriver(*names);
  RestartSpoolerService(pause);
  DeletePackageMonitor(*names);
  DeletePackageProcessor(*names, spooler);
  DeletePackageFiles(*names);
  (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, names->uninstallKey.c_str());
}

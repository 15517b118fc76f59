#include "engine/what_remains.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "engine/package_leftovers.h"
#include "identity/target_identity.h"
#include "removal/delete_at_restart.h"
#include "removal/model_printers.h"
#include "win/scoped_service.h"

namespace {

bool SpoolerServiceRuns() {
  const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  const ScopedService spooler(manager.IsValid() ? ::OpenServiceA(manager.Get(), "Spooler", SERVICE_QUERY_STATUS)
                                                : nullptr);
  SERVICE_STATUS status{};
  return spooler.IsValid() && ::QueryServiceStatus(spooler.Get(), &status) &&
         status.dwCurrentState == SERVICE_RUNNING;
}

void AddPrintersLeft(const UninstallPlan& plan, std::vector<std::string>& remaining) {
  StringList printers;
  if (!CollectModelPrinters(printers)) {
    remaining.push_back("the printers, which the spooler could not list (error " + std::to_string(::GetLastError()) +
                        ")");
    return;
  }
  for (const std::string& name : printers) {
    const bool planned = std::find(plan.printerNames.begin(), plan.printerNames.end(), name) != plan.printerNames.end();
    if (plan.removeDriver || planned) remaining.push_back("printer \"" + name + "\"");
  }
}

}  // namespace

std::vector<std::string> WhatRemains(const UninstallPlan& plan) {
  std::vector<std::string> remaining;
  if (!plan.printerPhase && !plan.removeDriver) return remaining;
  AddPrintersLeft(plan, remaining);
  if (!plan.removeDriver) return remaining;
  if (IsModelDriverInstalled()) remaining.push_back(std::string("printer driver \"") + DRIVER_NAME + "\"");
  if (!SpoolerServiceRuns()) remaining.push_back("the print spooler, whose service is not running");
  const std::vector<std::string> atRestart = PathsToDeleteAtRestart();
  ForEachPackageLeftover([&](const PackageLeftover& leftover) {
    if (leftover.path.empty() || !IsAmong(leftover.path, atRestart)) remaining.push_back(leftover.what);
    return true;
  });
  return remaining;
}

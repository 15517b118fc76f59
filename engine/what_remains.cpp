#include "engine/what_remains.h"

#include <windows.h>

#include "engine/model_look.h"
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

}  // namespace

// The run stops and starts the spooler itself: one it leaves stopped is its own doing, and nothing
// of the spooler's can be known until it runs again.
std::vector<std::string> WhatRemains(const UninstallPlan& plan) {
  std::vector<std::string> remaining;
  for (const Finding& finding : LookForWhatThePlanRemoves(plan)) {
    if (finding.kind != Finding::Kind::GoesAtRestart) remaining.push_back(finding.what);
  }
  if (plan.removeDriver && !SpoolerServiceRuns()) remaining.push_back("the print spooler, whose service is not running");
  return remaining;
}

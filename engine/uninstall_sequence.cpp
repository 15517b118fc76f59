#include "engine/uninstall_sequence.h"

#include <utility>

#include "engine/what_remains.h"

UninstallPlan PlanRemoval(StringList printerNames, int foundPrinterCount) {
  UninstallPlan plan;
  plan.printerPhase = foundPrinterCount != 0;
  plan.removeDriver = static_cast<int>(printerNames.size()) == foundPrinterCount;
  plan.printerNames = std::move(printerNames);
  return plan;
}

UninstallOutcome RunUninstall(const UninstallPlan& plan, UninstallObserver& observer) {
  UninstallOutcome outcome;
  if (plan.printerPhase) {
    observer.PhaseStarted("Delete printers...");
    DeletePrinters(plan.printerNames, [&](const std::string& step, const RemovalResult& result) {
      observer.StepDone(step, result);
    });
  }
  if (plan.removeDriver) RunDriverRemovalPhase(observer, outcome);
  outcome.remaining = WhatRemains(plan);
  return outcome;
}

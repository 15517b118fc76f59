#include "engine/uninstall_sequence.h"

UninstallOutcome RunUninstall(const UninstallPlan& plan, UninstallObserver& observer) {
  UninstallOutcome outcome;
  if (plan.printerPhase) {
    observer.PhaseStarted("Delete printers...");
    DeletePrinters(plan.printerNames, [&](const std::string& step, const RemovalResult& result) {
      observer.StepDone(step, result);
    });
  }
  if (plan.removeDriver) RunDriverRemovalPhase(observer, outcome);
  return outcome;
}

#pragma once

// The uninstall itself, apart from any window: the printer phase and, when the whole package
// goes, the driver removal phase, each step reported to an observer as it is done. A step that
// fails never stops the ones after it.

#include <string>
#include <vector>

#include "engine/uninstall_observer.h"
#include "removal/removal.h"

struct UninstallPlan {
  // The printers to delete, head to tail.
  StringList printerNames;
  // The model had printers: their phase runs.
  bool printerPhase = false;
  // Every printer of the model goes, or there was none: the whole driver package goes too.
  bool removeDriver = false;
};

struct UninstallOutcome {
  bool driverPhaseRan = false;
  // Something that was in use goes only at the next restart.
  bool removedAtRestart = false;
  // What is still there of what the plan was to remove, looked for again after the run.
  std::vector<std::string> remaining;

  // Windows must restart for the removal to be complete.
  bool NeedsRestart() const { return driverPhaseRan || removedAtRestart; }
};

// The plan for deleting `printerNames` of the `foundPrinterCount` printers of the model: their
// phase runs when the model had printers, and the whole package goes too when every one of them is
// among the names, or there was none to begin with.
UninstallPlan PlanRemoval(StringList printerNames, int foundPrinterCount);

// Runs the plan's phases, then looks for what remains of what they were to remove.
UninstallOutcome RunUninstall(const UninstallPlan& plan, UninstallObserver& observer);

// The driver removal phase alone, in its fixed order.
void RunDriverRemovalPhase(UninstallObserver& observer, UninstallOutcome& outcome);

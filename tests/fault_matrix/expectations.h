#pragma once

// What a run of the uninstaller may change on the machine, and the checks that it changed that
// and nothing else.

#include <string>
#include <vector>

#include "tests/fault_matrix/state_snapshot.h"
#include "tests/fault_matrix/uninstall_run.h"

namespace fault_matrix {

struct Expectation {
  // Where the model's artefacts lie: everything within them goes, unless kept below.
  std::vector<std::string> removed;
  // Parts of the model's artefacts that stay in this case (what the fault protects), with
  // everything within them, and single entries that stay (a folder that keeps a file in use,
  // not the folder's other files). They must still be there; what they hold may have changed.
  std::vector<std::string> kept;
  std::vector<std::string> keptEntries;
  // Paths outside the model's artefacts that this case lets appear or change.
  std::vector<std::string> mayChange;
  // The steps whose failure the log reports, by name, in order; every other step succeeds.
  std::vector<std::string> failedSteps;
  // What the run leaves of what it was to remove, as it tells the user and the log, in order;
  // nothing when it completes.
  std::vector<std::string> remaining;
};

// The machine as a run can change it: the snapshot, and the look-alikes of other products as the
// inventory tool tells them from the model's artefacts.
struct MachineState {
  Snapshot snapshot;
  std::vector<std::string> lookAlikes;
};

MachineState ObserveMachine();

// Every artefact within `removed` and not `kept` is gone, every kept one is still there, and
// everything else is as it was, apart from what the design writes on every run (the profile's
// spooler time-outs), what the platform changes by itself, and `mayChange`.
void ExpectOnlyModelArtefactsGone(const MachineState& before, const MachineState& after,
                                  const Expectation& expectation);

// Everything is as it was, apart from what the platform changes by itself.
void ExpectNothingChanged(const Snapshot& before, const Snapshot& after);

// How a run ends when nothing stops it.
enum class Ending {
  // The printers and then the whole driver package go; the restart question is asked and
  // declined; the dialog shows completion and closes.
  WholePackage,
  // Only the ticked printers go: a printer of the model stays, and so does the driver.
  PrintersOnly,
};

// With something `remaining`, the dialog names it in a message box before the restart question,
// and its last status is not that of completion.
void ExpectRanToCompletion(const UninstallRun& run, Ending ending,
                           const std::vector<std::string>& remaining = std::vector<std::string>());

}  // namespace fault_matrix

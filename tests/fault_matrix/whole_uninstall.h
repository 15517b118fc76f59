#pragma once

// A case of the matrix: the standard machine, a fault or hostile state laid on it, one whole
// uninstall worked by the robot, and the checks of how it ended and what it changed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fault_matrix/expectations.h"
#include "tests/fault_matrix/standard_machine.h"
#include "tests/fault_matrix/uninstall_run.h"

namespace fault_matrix {

class WholeUninstall : public ::testing::Test {
 protected:
  // Stages `machine_`; the case then lays its fault on top.
  void StageMachine();
  // Observes the machine, runs the uninstaller, and checks how it ended and what it changed.
  UninstallRun RunAndCheck(Ending ending = Ending::WholePackage);
  // The same unseen, as a deployment tool runs it (/quiet): it ends with `exitCode`, and its log
  // says which steps failed and what is left. Returns the log's last run.
  std::vector<std::string> RunUnseenAndCheck(DWORD exitCode);

  stager::Installation machine_ = StandardMachine();
  Expectation expected_{StandardModelArtefacts(), {ProcessorKeyKeptByWine()}, {}, {}};
};

}  // namespace fault_matrix

#include "tests/fault_matrix/whole_uninstall.h"

#include <optional>
#include <string>

#include "tests/e2e_support.h"

namespace fault_matrix {

void WholeUninstall::StageMachine() {
  ASSERT_TRUE(StageForTest(machine_));
  std::string error;
  ASSERT_TRUE(StageLookAlikeKeys(error)) << error;
  // The device installer names a node's driver key when it makes it; the key goes with the node.
  for (const std::string& node : StandardModelNodes()) {
    if (const std::optional<std::string> driverKey = stager::DeviceDriverKey(node)) {
      expected_.removed.push_back(MachineKey(*driverKey));
    }
  }
}

std::vector<std::string> WholeUninstall::RunUnseenAndCheck(DWORD exitCode) {
  const MachineState before = ObserveMachine();
  const WatchedRun run = RunUninstallerWatched(std::string("/quiet /log ") + kRunLog);
  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(exitCode));
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), expected_);
  EXPECT_EQ(FailedStepsOfLog(kRunLog), expected_.failedSteps) << "the steps the log reports as failed";
  EXPECT_EQ(LeftOnTheMachineInLog(kRunLog), expected_.remaining) << "what the log reports left";
  return LastRunOfLog(kRunLog);
}

UninstallRun WholeUninstall::RunAndCheck(Ending ending) {
  const MachineState before = ObserveMachine();
  UninstallRun run = UninstallEverythingListed();
  ExpectRanToCompletion(run, ending, expected_.remaining);
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), expected_);
  EXPECT_EQ(run.failedSteps, expected_.failedSteps) << "the steps the log reports as failed";
  return run;
}

}  // namespace fault_matrix

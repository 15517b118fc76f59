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

UninstallRun WholeUninstall::RunAndCheck(Ending ending) {
  const MachineState before = ObserveMachine();
  UninstallRun run = UninstallEverythingListed();
  ExpectRanToCompletion(run, ending);
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), expected_);
  EXPECT_EQ(run.failedSteps, expected_.failedSteps) << "the steps the log reports as failed";
  return run;
}

}  // namespace fault_matrix

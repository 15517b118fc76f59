#include "tests/fault_matrix/uninstall_run.h"

#include "res/resource.h"
#include "tests/e2e_support.h"

namespace fault_matrix {

namespace {

constexpr DWORD kStartTimeoutMs = 120000;
// A whole uninstall pauses about ten seconds; the rest is work, which a hostile machine can slow.
constexpr DWORD kRunTimeoutMs = 180000;

}  // namespace

UninstallRun UninstallEverythingListed() {
  UninstallRun run;
  robot::UninstallSession session;
  run.started = session.Start(UninstallerCommandLine() + " /log " + kRunLog, kStartTimeoutMs) &&
                session.WaitForScan(kStartTimeoutMs);
  if (!run.started) return run;
  if (robot::DialogRobot* dialog = session.Dialog()) {
    run.listedPrinters = dialog->ListLines(IDC_PRINTER_LIST).value_or(std::vector<std::string>{});
  }
  // With no printer listed the program either went on alone or ended; with some, it waits.
  if (!run.listedPrinters.empty() && session.Tick({})) {
    (void)robot::WaitUntil([&] { return session.Dialog()->PressButton(IDC_UNINSTALL); }, 5000);
  }
  run.record = session.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);
  run.failedSteps = FailedStepsOfLog(kRunLog);
  run.left = LeftOnTheMachineInLog(kRunLog);
  return run;
}

}  // namespace fault_matrix

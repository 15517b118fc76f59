// The whole job, as an administrator meets it: a complete installation with look-alikes of other
// products beside it, the uninstaller started for real and worked by the robot, and a look at
// what is left afterwards.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "res/resource.h"
#include "tests/e2e_support.h"
#include "tools/inventory/inventory.h"
#include "tools/robot/answer_probe.h"
#include "tools/robot/uninstall_session.h"
#include "tools/stager/presets.h"
#include "tools/stager/system_state.h"

namespace {

using inventory::Kind;
using robot::RunRecord;
using Lines = std::vector<std::string>;

constexpr DWORD kStartTimeoutMs = 120000;
constexpr DWORD kRunTimeoutMs = 180000;
constexpr int kManyUsbDevices = 3000;
constexpr char kRestartQuestion[] =
    "Restart the computer can take effect.\nPlease restart the computer.\n\n"
    "[Yes] I want to restart my computer now.\n[No] I will restart my computer later.";

// Wine's spooler answers the print processor's deletion with success and changes nothing, so
// the processor stays registered there; on Windows it goes with the rest.
const Lines kLeftByWinesSpooler = {
    "print processor key: SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\"
    "Print Processors\\KVL PRINT PROCESSOR QTM820wide"};

std::string ProfileValue(const char* key) {
  char value[64] = {};
  ::GetProfileStringA("windows", key, "", value, sizeof(value));
  return value;
}

Lines Without(Lines lines, const Lines& removed) {
  for (const std::string& line : removed) lines.erase(std::remove(lines.begin(), lines.end(), line), lines.end());
  return lines;
}

class WholeUninstall : public ::testing::Test {
 protected:
  void Stage(const stager::Installation& installation) {
    ASSERT_TRUE(StageForTest(installation));
    before_ = inventory::TakeInventory();
  }
  void StartAndScan(HANDLE token = nullptr) {
    ASSERT_TRUE(session_.Start(UninstallerCommandLine(), kStartTimeoutMs, std::string(), token));
    ASSERT_TRUE(session_.WaitForScan(kStartTimeoutMs));
  }
  RunRecord UninstallTicked(const Lines& lines, int restartAnswer) {
    EXPECT_TRUE(session_.Tick(lines));
    EXPECT_TRUE(robot::WaitUntil([&] { return session_.Dialog()->PressButton(IDC_UNINSTALL); }, 5000));
    return session_.RunToEnd(robot::AnswerQuestionsWith(restartAnswer), kRunTimeoutMs);
  }
  Lines ModelBefore() const { return inventory::Lines(before_, Kind::Model); }
  Lines OthersBefore() const { return inventory::Lines(before_, Kind::Other); }

  robot::UninstallSession session_;
  std::vector<inventory::Item> before_;
};

void ExpectTheRestartQuestion(const robot::MessageBoxSeen& seen) {
  EXPECT_EQ(seen.box.caption, APP_TITLE);
  EXPECT_EQ(seen.box.text, kRestartQuestion);
  EXPECT_EQ(seen.box.buttonIds, (std::vector<int>{IDYES, IDNO}));
  EXPECT_TRUE(seen.box.hasIcon);
}

// Every printer ticked and the restart declined: both phases with their statuses and progress,
// the question asked once at 60, and a clean exit.
void ExpectTheWholeSequenceWithTheRestartDeclined(const RunRecord& record) {
  ASSERT_EQ(record.StatusTexts(),
            (Lines{"Delete printers...", "Delete printer driver...", "Uninstall completed!"}));
  EXPECT_EQ(record.statuses[0].progressPercent, std::optional<int>(30));
  EXPECT_EQ(record.statuses[1].progressPercent, std::optional<int>(60));
  EXPECT_EQ(record.statuses[2].progressPercent, std::optional<int>(100));
  ASSERT_EQ(record.messageBoxes.size(), 1u);
  ExpectTheRestartQuestion(record.messageBoxes[0]);
  EXPECT_EQ(record.messageBoxes[0].progress, std::optional<int>(60));
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
}

TEST_F(WholeUninstall, EveryPrinterTickedTakesTheWholePackageAndLeavesTheLookAlikes) {
  Stage(stager::SampleInstallation());
  ASSERT_TRUE(::WriteProfileStringA("windows", "DeviceNotSelectedTimeout", "30"));
  ASSERT_TRUE(::WriteProfileStringA("windows", "TransmissionRetryTimeout", "45"));
  ASSERT_GE(ModelBefore().size(), 30u);
  ASSERT_GE(OthersBefore().size(), 10u);

  StartAndScan();
  const RunRecord record = UninstallTicked({}, IDNO);

  ExpectTheWholeSequenceWithTheRestartDeclined(record);

  const std::vector<inventory::Item> after = inventory::TakeInventory();
  EXPECT_EQ(inventory::Lines(after, Kind::Model), kLeftByWinesSpooler);
  EXPECT_EQ(inventory::Lines(after, Kind::Other), OthersBefore());
}

// Windows marks a window that leaves a message unanswered for 5 s as not responding and offers
// to end the program, half-way through the removal. On a machine that has seen many USB devices,
// the device installer's single call that lists them takes seconds; the dialog must answer
// throughout all the same. The bound is far above what the dialog needs (the benchmark holds the
// real target), so that a slow machine cannot fail the test.
TEST_F(WholeUninstall, TheDialogAnswersMessagesThroughoutAFullUninstallOnAMachineOfManyDevices) {
  stager::Installation machine = stager::SampleInstallation();
  for (int device = 0; device < kManyUsbDevices; ++device) {
    char instanceId[64];
    std::snprintf(instanceId, sizeof instanceId, "USB\\VID_0BDA&PID_%04X\\SN%06d", device % 200, device);
    machine.deviceNodes.push_back({instanceId, {std::string(instanceId).substr(0, 21)}, std::nullopt, ""});
  }
  Stage(machine);
  StartAndScan();
  robot::AnswerProbe probe(session_.Dialog()->Window());
  const RunRecord record = UninstallTicked({}, IDNO);
  const double longestWaitMs = probe.Stop();

  ASSERT_EQ(record.messageBoxes.size(), 1u) << "the run reached its restart question";
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_LT(longestWaitMs, 2000.0);
}

// What a user or another program may do while the sequence runs, all of it at once: Esc, Alt+F4
// and Space on the focused list, a click on a line's box, clicks on Cancel and on Uninstall
// (disabled, but a posted click reaches them), close requests posted and sent, and the numbers of
// the messages its worker thread sends the dialog, with nonsense in them.
void TryToEndOrRestart(robot::DialogRobot& robot) {
  HWND dialog = robot.Window();
  HWND list = ::GetDlgItem(dialog, IDC_PRINTER_LIST);
  (void)::PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  (void)::PostMessageA(list, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  (void)::PostMessageA(list, WM_SYSKEYDOWN, VK_F4, 0x203E0001);
  (void)::PostMessageA(list, WM_SYSKEYUP, VK_F4, 0xE03E0001);
  (void)robot.PressSpace(IDC_PRINTER_LIST);
  (void)robot.ClickCheckBox(IDC_PRINTER_LIST, 0);
  (void)::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  (void)::PostMessageA(::GetDlgItem(dialog, IDC_UNINSTALL), BM_CLICK, 0, 0);
  (void)::PostMessageA(dialog, WM_CLOSE, 0, 0);
  (void)::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  (void)::SendNotifyMessageA(dialog, WM_CLOSE, 0, 0);
  (void)::SendNotifyMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  (void)::SendNotifyMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
  for (UINT message = WM_APP; message <= WM_APP + 2; ++message) (void)::PostMessageA(dialog, message, 1, 0x10);
}

bool EveryLineTicked(robot::DialogRobot& robot) {
  const std::optional<std::vector<std::string>> lines = robot.ListLines(IDC_PRINTER_LIST);
  if (!lines) return false;
  for (int index = 0; index < static_cast<int>(lines->size()); ++index) {
    if (!robot.IsLineChecked(IDC_PRINTER_LIST, index).value_or(false)) return false;
  }
  return true;
}

// A shutdown or log-off asked for while the removal runs is told to wait; once it is done, as any
// window would, the dialog lets the session end.
TEST_F(WholeUninstall, KeysClicksCloseRequestsAndShutdownsDuringTheSequenceChangeNothing) {
  Stage(stager::SampleInstallation());
  StartAndScan();
  robot::DialogRobot& robot = *session_.Dialog();
  bool shownAtTheQuestion = false;
  bool tickedAtTheQuestion = false;
  std::vector<std::optional<LRESULT>> shutdownAnswers;
  session_.ReportEventsTo([&](const std::string& event) {
    if (event.rfind("status: ", 0) == 0) {
      TryToEndOrRestart(robot);
      shutdownAnswers.push_back(robot.Query(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    }
    if (event.rfind("message box", 0) == 0) {
      shownAtTheQuestion = ::IsWindowVisible(robot.Window()) != FALSE;
      tickedAtTheQuestion = EveryLineTicked(robot);
    }
  });
  const RunRecord record = UninstallTicked({}, IDNO);

  ExpectTheWholeSequenceWithTheRestartDeclined(record);
  EXPECT_TRUE(shownAtTheQuestion) << "the dialog was ended before the sequence was";
  EXPECT_TRUE(tickedAtTheQuestion) << "a key or click changed a tick while the sequence ran";
  // At "Delete printers...", "Delete printer driver..." and "Uninstall completed!".
  EXPECT_EQ(shutdownAnswers, (std::vector<std::optional<LRESULT>>{FALSE, FALSE, TRUE}));
  EXPECT_EQ(inventory::Lines(inventory::TakeInventory(), Kind::Model), kLeftByWinesSpooler);
}

// One uninstaller at a time: a copy started by hand or by a deployment tool while another runs
// ends at once, bringing the running one's dialog to the front or, unseen, with the exit code
// such tools know, and the first one completes as if it had run alone.
TEST_F(WholeUninstall, ASecondCopyStartedDuringTheSequenceEndsWith1618AndTheFirstCompletes) {
  Stage(stager::SampleInstallation());
  StartAndScan();
  LaunchedProgram seen;
  LaunchedProgram unseen;
  session_.ReportEventsTo([&](const std::string& event) {
    if (event != "status: Delete printers...") return;
    EXPECT_TRUE(seen.Start(UninstallerCommandLine()));
    EXPECT_TRUE(unseen.Start(UninstallerCommandLine() + " /quiet"));
  });
  const RunRecord record = UninstallTicked({}, IDNO);

  EXPECT_EQ(seen.WaitForExit(kRunTimeoutMs), std::optional<DWORD>(ERROR_INSTALL_ALREADY_RUNNING));
  EXPECT_EQ(unseen.WaitForExit(kRunTimeoutMs), std::optional<DWORD>(ERROR_INSTALL_ALREADY_RUNNING));
  ExpectTheWholeSequenceWithTheRestartDeclined(record);
  EXPECT_EQ(inventory::Lines(inventory::TakeInventory(), Kind::Model), kLeftByWinesSpooler);
}

TEST_F(WholeUninstall, TheSpoolerTimeOutsAreResetInTheProfileAsWindowsMapsIt) {
  Stage(stager::DriverOnlyInstallation());
  ASSERT_TRUE(::WriteProfileStringA("windows", "DeviceNotSelectedTimeout", "5"));
  ASSERT_TRUE(::WriteProfileStringA("windows", "TransmissionRetryTimeout", ""));

  StartAndScan();
  const RunRecord record = session_.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));

  EXPECT_EQ(ProfileValue("DeviceNotSelectedTimeout"), "15");
  EXPECT_EQ(ProfileValue("TransmissionRetryTimeout"), "90");
  // The "windows" section of the profile is mapped to the user's registry.
  const char* mapped = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  EXPECT_EQ(stager::ReadRegistryString(HKEY_CURRENT_USER, mapped, "DeviceNotSelectedTimeout"),
            std::optional<std::string>("15"));
  EXPECT_EQ(stager::ReadRegistryString(HKEY_CURRENT_USER, mapped, "TransmissionRetryTimeout"),
            std::optional<std::string>("90"));
}

TEST_F(WholeUninstall, TwoOfThreeTickedLeaveTheDriverPackageWhole) {
  Stage(stager::SampleInstallation());
  StartAndScan();
  const RunRecord record = UninstallTicked({"Front Desk (Bar 2)", "Kitchen  Receipts-1"}, IDNO);

  ASSERT_EQ(record.StatusTexts(), (Lines{"Delete printers...", "Uninstall completed!"}));
  EXPECT_EQ(record.statuses[0].progressPercent, std::optional<int>(30));
  EXPECT_EQ(record.statuses[1].progressPercent, std::optional<int>(100));
  EXPECT_TRUE(record.messageBoxes.empty()) << "no restart question";
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));

  const std::vector<inventory::Item> after = inventory::TakeInventory();
  EXPECT_EQ(inventory::Lines(after, Kind::Model),
            Without(ModelBefore(), {"printer: Front Desk (Bar 2) (driver KARVELO QTM-820wide)",
                                    "printer: Kitchen  Receipts-1 (driver KARVELO QTM-820wide)",
                                    "printer settings key: SOFTWARE\\KARVELO_POS_PRINTER\\Front_Desk_(Bar_2)",
                                    "printer settings key: SOFTWARE\\KARVELO_POS_PRINTER\\Kitchen__Receipts-1"}));
  EXPECT_EQ(inventory::Lines(after, Kind::Other), OthersBefore());
}

TEST_F(WholeUninstall, WithTheDriverAndNoPrinterTheWholePackageGoesWithoutBeingAsked) {
  Stage(stager::DriverOnlyInstallation());
  StartAndScan();
  const RunRecord record = session_.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);

  EXPECT_EQ(record.StatusTexts(), (Lines{"Delete printer driver...", "Uninstall completed!"}));
  ASSERT_EQ(record.messageBoxes.size(), 1u);
  ExpectTheRestartQuestion(record.messageBoxes[0]);
  EXPECT_EQ(record.messageBoxes[0].progress, std::optional<int>(30)) << "one step: the driver phase";
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));

  const std::vector<inventory::Item> after = inventory::TakeInventory();
  EXPECT_EQ(inventory::Lines(after, Kind::Model), kLeftByWinesSpooler);
  EXPECT_EQ(inventory::Lines(after, Kind::Other), OthersBefore());
}

// A restart request would end every program of the session, this test included; the test also
// keeps a program of its own running to see that it survives.
TEST_F(WholeUninstall, AUserWithoutTheShutdownPrivilegeWhoAcceptsTheRestartSeesTheProgramEnd) {
  Stage(stager::DriverOnlyInstallation());
  LaunchedProgram bystander;
  ASSERT_TRUE(bystander.Start("notepad.exe"));
  const ScopedHandle token = TokenWithoutPrivilege(SE_SHUTDOWN_NAME);
  ASSERT_TRUE(token.IsValid());

  StartAndScan(token.Get());
  const RunRecord record = session_.RunToEnd(robot::AnswerQuestionsWith(IDYES), kRunTimeoutMs);

  ASSERT_EQ(record.messageBoxes.size(), 1u);
  EXPECT_EQ(record.messageBoxes[0].answer, IDYES);
  EXPECT_EQ(record.StatusTexts(), (Lines{"Delete printer driver...", "Uninstall completed!"}));
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_TRUE(bystander.IsRunning()) << "no restart was requested";
}

TEST_F(WholeUninstall, ASecondRunAfterAFullRemovalSaysThereIsNothingLeft) {
  Stage(stager::SampleInstallation());
  StartAndScan();
  ASSERT_EQ(UninstallTicked({}, IDNO).exitCode, std::optional<DWORD>(0));
  const std::vector<inventory::Item> afterFirst = inventory::TakeInventory();

  robot::UninstallSession second;
  ASSERT_TRUE(second.Start(UninstallerCommandLine(), kStartTimeoutMs));
  const RunRecord record = second.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);

  ASSERT_EQ(record.messageBoxes.size(), 1u);
  EXPECT_EQ(record.messageBoxes[0].box.text, "QTM-820wide Driver is not exist.\nUnistall aleady completed.");
  EXPECT_TRUE(record.statuses.empty());
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_EQ(inventory::Lines(inventory::TakeInventory(), Kind::Other), inventory::Lines(afterFirst, Kind::Other));
}

}  // namespace

// Every step of the uninstall failing in turn, through real faults: files held open by another
// process, keys that are missing, keys owned by SYSTEM that an administrator may not delete, the
// spooler service stopped, spooler calls refused. Each time the uninstall runs to its end, every
// later step is still done, and nothing but the model's artefacts is touched.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tests/e2e_support.h"
#include "tests/fault_matrix/whole_uninstall.h"
#include "tests/registry_test_support.h"
#include "tests/removal_test_support.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"

namespace fault_matrix {
namespace {

constexpr char kProfileWindowsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

void Lock(const std::string& key, stager::KeyLock lock, HKEY root = HKEY_LOCAL_MACHINE) {
  std::string error;
  ASSERT_TRUE(stager::LockKey(root, key, lock, error)) << error;
}

using removal_test::Lower;
using removal_test::PendingDeletions;
using StepFaults = WholeUninstall;

// Under Wine the spooler's DeletePrinter answers success while the printer's key stays (its
// entries in the user's profile go); the printer is still listed afterwards, as on Windows one
// that holds jobs is, marked for deletion once they have printed. A printer that the spooler
// restart does not take either stays, and so does the driver that it uses: its keys are not
// deleted from under the spooler. Everything else goes.
class PrinterLeftListed : public StepFaults {
 protected:
  void SetUp() override {
    StageMachine();
    Lock(kSpoolerKey, lock_);
    expected_.kept.push_back(MachineKey(kSpoolerKey));
    expected_.kept.push_back(MachineKey(stager::kDriverKey));
    expected_.failedSteps = {"Delete the printer \"" + kPrinter + "\" and its settings key",
                             "Delete the printer driver \"KARVELO QTM-820wide\"", kLookAgain};
    expected_.remaining = {"printer \"" + kPrinter + "\"", "printer driver \"KARVELO QTM-820wide\""};
  }

  const std::string kPrinter = "Front Desk (Bar 2)";
  const std::string kSpoolerKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + kPrinter;
  const std::string kLookAgain = "Look again for the printers of the model after the spooler restart";
  stager::KeyLock lock_ = stager::KeyLock::Sealed;
};

TEST_F(PrinterLeftListed, StaysWithTheDriverAndTheDialogSaysSo) {
  RunAndCheck();

  EXPECT_TRUE(InstalledPrinterNames().count(kPrinter));
}

bool Said(const std::vector<std::string>& log, const std::string& text) {
  return std::any_of(log.begin(), log.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

TEST_F(PrinterLeftListed, UnseenFailsTheRunAndTheLogSaysWhy) {
  const std::vector<std::string> log = RunUnseenAndCheck(ERROR_INSTALL_FAILURE);

  EXPECT_TRUE(Said(log, "; still listed: the spooler deletes it once its jobs are gone"));
  EXPECT_TRUE(Said(log, "; its registry keys kept: a printer of the model is still listed"));
  EXPECT_TRUE(Said(log, kLookAgain + ": failed, error 170"));
  EXPECT_TRUE(Said(log, "; still listed: \"" + kPrinter + "\""));
}

// One that the spooler restart takes, as Windows' spooler finishes a pending deletion once the
// restart dropped the job stuck at the port: its key lets administrators only read it and rewrite
// its DACL, so that it outlives DeletePrinter, and the spooler service runs a program of the tests
// that deletes it as it stops. The driver, refused while the printer was listed, goes once it
// went: the whole package in one run.
class PrinterListedUntilTheSpoolerRestarts : public PrinterLeftListed {
 protected:
  void SetUp() override {
    lock_ = stager::KeyLock::UntilGranted;
    PrinterLeftListed::SetUp();
  }
};

TEST_F(PrinterListedUntilTheSpoolerRestarts, GoesWithTheWholePackageInOneRun) {
  ASSERT_TRUE(removal_test::ChangeServiceProgram(
      "Spooler", removal_test::TestServiceCommandLine("Spooler finishes-deletion \"" + kSpoolerKey + "\"")));
  ASSERT_TRUE(removal_test::StartServiceAndWait("Spooler"));
  expected_.kept.resize(expected_.kept.size() - 2);
  expected_.failedSteps.pop_back();
  expected_.remaining.clear();

  const std::vector<std::string> log = RunUnseenAndCheck(ERROR_SUCCESS_REBOOT_REQUIRED);

  EXPECT_TRUE(Said(log, kLookAgain + ": done"));
  EXPECT_TRUE(Said(log, "Delete the printer driver \"KARVELO QTM-820wide\" once they went: done"));
  EXPECT_FALSE(InstalledPrinterNames().count(kPrinter));
}

TEST_F(StepFaults, APrinterSettingsKeyThatCannotBeDeletedStays) {
  StageMachine();
  const std::string settingsKey = "SOFTWARE\\KARVELO_POS_PRINTER\\Kitchen__Receipts-1";
  Lock(settingsKey + "\\Paper", stager::KeyLock::Sealed);
  Lock(settingsKey, stager::KeyLock::Sealed);
  expected_.kept.push_back(MachineKey(settingsKey));
  expected_.failedSteps = {"Delete the printer \"Kitchen  Receipts-1\" and its settings key"};

  RunAndCheck();
}

// The recorded INF is read through the key before the package removal fails to delete it. The
// key left is named: a deployment tool that detects the product by it still finds it.
TEST_F(StepFaults, AnUninstallKeyThatCannotBeDeletedStaysAndItsRecordedInfStillGoes) {
  StageMachine();
  Lock(UNINSTALL_KEY, stager::KeyLock::Sealed);
  expected_.kept.push_back(MachineKey(UNINSTALL_KEY));
  expected_.failedSteps = {"Delete the Uninstall key"};
  expected_.remaining = {std::string("Uninstall key ") + UNINSTALL_KEY};

  RunAndCheck();
}

// The oem scan still finds the INF the key would have named.
TEST_F(StepFaults, WithoutTheUninstallKeyEveryOtherStepIsStillDone) {
  machine_.uninstallKey = false;
  StageMachine();

  RunAndCheck();
}

// Wine's spooler refuses to delete one version of a driver, so the driver goes through its key
// there; with that key sealed, both ways fail, and the driver is left.
TEST_F(StepFaults, ADriverKeyThatCannotBeDeletedStays) {
  StageMachine();
  Lock(stager::kDriverKey, stager::KeyLock::Sealed);
  expected_.kept.push_back(MachineKey(stager::kDriverKey));
  expected_.failedSteps = {"Delete the printer driver \"KARVELO QTM-820wide\""};
  expected_.remaining = {"printer driver \"KARVELO QTM-820wide\""};

  RunAndCheck();
}

TEST_F(StepFaults, ALanguageMonitorThatCannotBeDeletedStays) {
  StageMachine();
  Lock(stager::kMonitorKey, stager::KeyLock::Sealed);
  expected_.kept.push_back(MachineKey(stager::kMonitorKey));
  expected_.failedSteps = {"Delete the language monitor \"KVL Language Monitor QTM820wide\""};
  expected_.remaining = {std::string("language monitor key ") + stager::kMonitorKey};

  RunAndCheck();
}

// Nothing is collected from the class keys; the oem scan still finds the INF they name.
TEST_F(StepFaults, AnUnreadablePrinterClassKeyLeavesItsInfToTheOemScan) {
  StageMachine();
  Lock(stager::kPrinterClassKey, stager::KeyLock::Closed);
  expected_.failedSteps = {"Read the INF files named by the printer class keys",
                           "Delete the printer class keys left of the model"};

  RunAndCheck();
}

// Under Wine, SetupDiRemoveDevice answers success for a node whose key it cannot delete, so the
// walk goes on to the model's other nodes as it would past any node it leaves.
TEST_F(StepFaults, ADeviceNodeThatCannotBeRemovedStaysAndTheModelsOtherNodesStillGo) {
  StageMachine();
  const std::string lockedNode = StandardModelNodes().front();
  Lock("SYSTEM\\CurrentControlSet\\Enum\\" + lockedNode, stager::KeyLock::Sealed);
  expected_.kept.push_back(DeviceNodeKey(lockedNode));
  expected_.keptEntries.push_back(ModelNodesParentKey());

  RunAndCheck();

  EXPECT_TRUE(stager::DeviceNodeExists(lockedNode));
  for (const std::string& node : StandardModelNodes()) {
    if (node != lockedNode) EXPECT_FALSE(stager::DeviceNodeExists(node)) << node;
  }
}

// The model's USBPRINT key with its printer node sealed, down to the node's deepest subkey: the
// device installer, which runs with the administrator's rights under Wine, cannot remove the node,
// nor its driver key; administrators may not even rewrite the key's access list, so the grant fails
// and the key stays, with the access list it had. The LPTENUM node and key after it still go. The
// node and its driver key are left, and the run says so; it names the driver key.
TEST_F(StepFaults, ASealedEnumerationKeyStaysAsItWasAndTheNextOneStillGoes) {
  StageMachine();
  const std::string node = StandardModelNodes()[2];
  const std::optional<std::string> driverKey = stager::DeviceDriverKey(node);
  ASSERT_TRUE(driverKey.has_value());
  const std::string instanceKey = std::string(DEVICE_ENUM_ROOT) + node;
  for (const std::string& key : {instanceKey + "\\Device Parameters", instanceKey, std::string(USBPRINT_ENUM_KEY)}) {
    Lock(key, stager::KeyLock::Sealed);
  }
  const std::string daclBefore = DaclEntries(HKEY_LOCAL_MACHINE, USBPRINT_ENUM_KEY);
  expected_.kept.push_back(MachineKey(USBPRINT_ENUM_KEY));
  expected_.kept.push_back(MachineKey(*driverKey));
  expected_.failedSteps = {"Remove the USBPRINT and LPTENUM device nodes and keys of the model"};
  expected_.remaining = {std::string("printer class key ") + stager::kPrinterClassKey +
                         driverKey->substr(driverKey->rfind('\\'))};

  RunAndCheck();

  EXPECT_EQ(DaclEntries(HKEY_LOCAL_MACHINE, USBPRINT_ENUM_KEY), daclBefore);
}

TEST_F(StepFaults, AProfileThatCannotBeWrittenKeepsItsTimeOutsAndTheLaterStepsAreStillDone) {
  StageMachine();
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_CURRENT_USER, kProfileWindowsKey, "Spooler", "yes"));
  Lock(kProfileWindowsKey, stager::KeyLock::Sealed, HKEY_CURRENT_USER);
  expected_.failedSteps = {"Reset the spooler time-outs in the profile"};

  RunAndCheck();

  EXPECT_FALSE(stager::ReadRegistryString(HKEY_CURRENT_USER, kProfileWindowsKey, "DeviceNotSelectedTimeout"));
  EXPECT_FALSE(stager::ReadRegistryString(HKEY_CURRENT_USER, kProfileWindowsKey, "TransmissionRetryTimeout"));
}

// Files of every step held open by another process, sharing nothing: each stays where it is, the
// driver file and the data file are listed for deletion at the next restart (with the folders
// the data file keeps), and everything else goes. The INF that only the oem scan finds cannot be
// read while it is held, so nothing tells that it is the model's: its companion stays with it.
TEST_F(StepFaults, FilesHeldOpenInEveryStepStayAndEverythingElseGoes) {
  StageMachine();
  const std::string data = stager::DataDirectoryPath();
  const std::string recordedInf = FilePath(stager::Folder::Inf, "oem7.inf");
  const std::string collectedInf = FilePath(stager::Folder::Inf, "oem12.inf");
  const std::string scannedInf = FilePath(stager::Folder::Inf, "oem3.inf");
  const std::string driverFile = FilePath(stager::Folder::PrinterDriver, "3\\QTM820wE.dll");
  const std::string dataFile = data + "\\logos\\header.bmp";
  const std::vector<std::string> held = {recordedInf, collectedInf, scannedInf, driverFile, dataFile};
  removal_test::FileHolder holders[5];
  for (size_t i = 0; i < held.size(); ++i) ASSERT_TRUE(holders[i].Hold(held[i])) << held[i];
  expected_.keptEntries = held;
  expected_.keptEntries.push_back(FilePath(stager::Folder::Inf, "oem3.PNF"));
  expected_.keptEntries.push_back(data + "\\logos");
  expected_.keptEntries.push_back(data);
  expected_.mayChange = {MachineKey("SYSTEM\\CurrentControlSet\\Control\\Session Manager") +
                         "|PendingFileRenameOperations"};
  // The INFs are not scheduled at the restart (the model's driver files and data are); the one
  // only the oem scan finds cannot be read, so it is not known to be the model's.
  expected_.failedSteps = {"Delete the INF file recorded in the Uninstall key",
                           "Delete the INF files named by the printer class keys"};

  RunAndCheck();

  EXPECT_EQ(PendingDeletions(), (std::vector<std::string>{Lower(driverFile), Lower(dataFile),
                                                          Lower(data + "\\logos"), Lower(data)}));
}

DWORD SpoolerServiceState() {
  const SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  const SC_HANDLE service = manager ? ::OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS) : nullptr;
  SERVICE_STATUS status{};
  const bool known = service && ::QueryServiceStatus(service, &status);
  if (service) ::CloseServiceHandle(service);
  if (manager) ::CloseServiceHandle(manager);
  return known ? status.dwCurrentState : 0;
}

// Wine's spooler calls reach the local print provider in the calling process, so a stopped service
// refuses none of them there; what the stopped service meets is the restart step, which finds it
// stopped and starts it again.
TEST_F(StepFaults, WithTheSpoolerServiceStoppedTheRunStartsItAgainAndCompletes) {
  StageMachine();
  ASSERT_EQ(SpoolerServiceState(), static_cast<DWORD>(SERVICE_STOPPED));

  RunAndCheck();

  EXPECT_TRUE(robot::WaitUntil([] { return SpoolerServiceState() == SERVICE_RUNNING; }, 10000));
}

// The spooler that the restart had to leave alone runs on in the process it ran in.
void ExpectTheSpoolerStillRunningIn(DWORD processId) {
  EXPECT_EQ(removal_test::QueryService("Spooler").state, static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(removal_test::QueryService("Spooler").processId, processId);
}

// Wine's own spooler service stops when asked; here the service runs a program of the tests that
// accepts no stop control, as a spooler that its service control refuses would. The restart gives
// up, the spooler runs on as it was, and so does the rest of the run.
TEST_F(StepFaults, ASpoolerThatCannotBeStoppedRunsOnAndTheRunCompletes) {
  StageMachine();
  ASSERT_TRUE(removal_test::ChangeServiceProgram("Spooler", removal_test::TestServiceCommandLine("Spooler unstoppable")));
  ASSERT_TRUE(removal_test::StartServiceAndWait("Spooler"));
  const DWORD spooler = removal_test::QueryService("Spooler").processId;
  expected_.failedSteps = {"Restart the print spooler"};

  RunAndCheck();

  ExpectTheSpoolerStillRunningIn(spooler);
}

// The spooler service runs a program of the tests that takes 38 s to stop, longer than the 30 s
// the restart once waited, reporting its progress each second as its wait hint asks. The restart
// waits for it, starts it again, and the run completes.
TEST_F(StepFaults, ASpoolerSlowToStopIsWaitedForAndStartedAgainAndTheRunCompletes) {
  StageMachine();
  ASSERT_TRUE(removal_test::ChangeServiceProgram("Spooler", removal_test::TestServiceCommandLine("Spooler slow-stop")));
  ASSERT_TRUE(removal_test::StartServiceAndWait("Spooler"));
  const DWORD spooler = removal_test::QueryService("Spooler").processId;

  RunAndCheck();

  EXPECT_EQ(removal_test::QueryService("Spooler").state, static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_NE(removal_test::QueryService("Spooler").processId, spooler) << "the spooler was not restarted";
}

// A spooler that stops when asked and then fails to start again, as one that cannot load a port
// monitor: the till cannot print, and the run must not say that it is done.
TEST_F(StepFaults, ASpoolerThatCannotBeStartedAgainIsNamedAndTheRunIsNotComplete) {
  StageMachine();
  const std::string marker = "C:\\spooler-stopped.marker";
  ASSERT_TRUE(removal_test::ChangeServiceProgram(
      "Spooler", removal_test::TestServiceCommandLine("Spooler no-second-start " + marker)));
  ASSERT_TRUE(removal_test::StartServiceAndWait("Spooler"));
  expected_.mayChange = {marker};
  expected_.failedSteps = {"Restart the print spooler"};
  expected_.remaining = {"the print spooler, whose service is not running"};

  RunAndCheck();

  EXPECT_EQ(removal_test::QueryService("Spooler").state, static_cast<DWORD>(SERVICE_STOPPED));
}

// A spooler disabled while it runs could not be started again once stopped: it is left running.
TEST_F(StepFaults, ARunningSpoolerThatIsDisabledIsLeftRunningAndTheRunCompletes) {
  StageMachine();
  ASSERT_TRUE(removal_test::StartServiceAndWait("Spooler"));
  ASSERT_TRUE(removal_test::DisableService("Spooler"));
  const DWORD spooler = removal_test::QueryService("Spooler").processId;

  RunAndCheck();

  ExpectTheSpoolerStillRunningIn(spooler);
}

TEST_F(StepFaults, WithOnlyThePrintersAndTheDriverEveryOtherStepFindsNothingAndTheRunCompletes) {
  stager::Installation bare;
  bare.drivers = machine_.drivers;
  bare.printers = machine_.printers;
  machine_ = bare;
  StageMachine();

  RunAndCheck();
}

// The spooler reads its printers from their registry key in the program's own process; with
// every right on that key taken from everyone, it cannot list them. The scan reports the spooler's
// error in its message box and ends, or, unseen, fails; nothing is removed.
TEST_F(StepFaults, APrinterListTheSpoolerRefusesIsReportedAndNothingIsTouched) {
  StageMachine();
  ASSERT_TRUE(DenyEveryoneEveryRight("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers"));
  const MachineState before = ObserveMachine();

  const UninstallRun run = UninstallEverythingListed();

  ASSERT_EQ(run.record.messageBoxes.size(), 1u);
  const std::string text = run.record.messageBoxes[0].box.text;
  EXPECT_EQ(text.rfind("EnumPrinters Error Code: ", 0), 0u) << text;
  EXPECT_TRUE(run.record.statuses.empty());
  EXPECT_EQ(run.record.exitCode, std::optional<DWORD>(0));
  const WatchedRun quiet = RunUninstallerWatched(std::string("/quiet /log ") + kRunLog);
  EXPECT_FALSE(quiet.windowShown);
  EXPECT_EQ(quiet.exitCode, std::optional<DWORD>(ERROR_INSTALL_FAILURE));
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), Expectation{});
}

}  // namespace
}  // namespace fault_matrix

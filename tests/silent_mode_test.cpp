// The uninstaller as a software deployment tool runs it: with /quiet, started unseen, judged by its
// exit code and its log. A window here would wait where nobody can answer it.

#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/single_instance.h"
#include "identity/target_identity.h"
#include "res/resource.h"
#include "tests/e2e_support.h"
#include "tests/removal_test_support.h"
#include "tools/inventory/inventory.h"
#include "tools/robot/launched_program.h"
#include "tools/robot/robot.h"
#include "tools/robot/uninstall_session.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/presets.h"
#include "tools/stager/system_state.h"
#include "win/log_file.h"
#include "win/unique_handle.h"

namespace {

using inventory::Kind;
using Lines = std::vector<std::string>;

constexpr DWORD kRunTimeoutMs = 180000;
constexpr char kDefaultLog[] = "C:\\windows\\Logs\\KARVELO_QTM-820wide_uninstall.log";
constexpr char kRanUnseen[] =
    "No window can be seen here (a service's window station, or session 0): it runs as with /quiet";
// The old name of the one-copy rule: a plain mutex of the global namespace, which anyone can make.
constexpr char kOldOneCopyMutex[] = "Global\\KARVELO_QTM-820wide uninstaller";

// The time zones the log's header is checked in, by the TZ variable that Wine takes the zone from
// when it starts (Wine's token lacks the privilege that SetTimeZoneInformation needs):
// tests/CMakeLists.txt runs the case that reads this once in each.
const std::map<std::string, std::string> kOffsetOfZone = {
    {"UTC0", "UTC+00:00"}, {"IST-5:30", "UTC+05:30"}, {"PST8", "UTC-08:00"}};

stager::Installation UninstallKeyOnly() {
  stager::Installation installation;
  installation.uninstallKey = true;
  return installation;
}

// Told to run unseen, or started where no window can be seen at all (a service's window station),
// whatever its command line: the same silent run, to the same default log.
struct UnseenRun {
  const char* arguments;
  bool inAnUnseenStation;
};

class UnseenRuns : public ::testing::TestWithParam<UnseenRun> {};

TEST_P(UnseenRuns, TakeTheWholeSampleInstallationAndLogEveryStepInItsOrder) {
  const UnseenRun& row = GetParam();
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  const std::vector<inventory::Item> before = inventory::TakeInventory();

  const WatchedRun run = RunUninstallerWatched(row.arguments, kRunTimeoutMs, row.inAnUnseenStation);

  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(ERROR_SUCCESS_REBOOT_REQUIRED));
  const std::vector<inventory::Item> after = inventory::TakeInventory();
  // Wine's spooler answers the print processor's deletion with success and changes nothing.
  EXPECT_EQ(inventory::Lines(after, Kind::Model),
            Lines{"print processor key: SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\"
                  "Print Processors\\KVL PRINT PROCESSOR QTM820wide"});
  EXPECT_EQ(inventory::Lines(after, Kind::Other), inventory::Lines(before, Kind::Other));

  Lines log = LastRunOfLog(kDefaultLog);
  if (row.inAnUnseenStation) {
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), kRanUnseen);
    log.erase(log.begin());
  }
  ASSERT_GE(log.size(), 5u);
  // The printers go head to tail, in the order the spooler listed them, reversed.
  for (int printer = 0; printer < 3; ++printer) {
    EXPECT_EQ(log[2 + printer].rfind("Delete the printer \"", 0), 0u) << log[2 + printer];
    log[2 + printer] = "Delete the printer";
  }
  EXPECT_EQ(log, (Lines{
                     "Printers of the model: 3",
                     "Delete printers...",
                     "Delete the printer",
                     "Delete the printer",
                     "Delete the printer",
                     "Delete printer driver...",
                     "Delete the INF file recorded in the Uninstall key: done",
                     "Delete the forms of the model: done",
                     "Delete the printer driver \"KARVELO QTM-820wide\": done",
                     "Restart the print spooler: done",
                     "Delete the language monitor \"KVL Language Monitor QTM820wide\": done",
                     "Delete the print processor \"KVL PRINT PROCESSOR QTM820wide\": done",
                     "Delete the driver files: done",
                     "Delete the Uninstall key: done",
                     "Read the INF files named by the printer class keys: done",
                     "Delete the INF files named by the printer class keys: done",
                     "Remove the USB device nodes of the model: done",
                     "Remove the USBPRINT and LPTENUM device nodes and keys of the model: done",
                     "Delete the printer class keys left of the model: done",
                     "Reset the spooler time-outs in the profile: done",
                     "Delete the oem INF files that list the model: done",
                     "Delete the data directory of the driver: done",
                     "Exit code 3010: done; Windows must restart to complete the removal",
                 }));
}

// The bare command an installer recorded, and a switch of another installer's that the program
// does not know: in a visible station they would open the dialog.
INSTANTIATE_TEST_SUITE_P(Runs, UnseenRuns,
                         ::testing::Values(UnseenRun{"/quiet", false}, UnseenRun{"", true}, UnseenRun{"/qb", true}));

// The header gives the local time's offset from UTC, its sign and size: east of UTC "+", west "-".
TEST(SilentMode, WithNothingOfTheModelInstalledSucceedsAndDropsTheUninstallKey) {
  const char* tz = std::getenv("TZ");
  const auto zone = kOffsetOfZone.find(tz != nullptr ? tz : "");
  ASSERT_NE(zone, kOffsetOfZone.end()) << "TZ is to name one of the zones of kOffsetOfZone";
  ASSERT_TRUE(StageForTest(UninstallKeyOnly()));

  const WatchedRun run = RunUninstallerWatched("-Q /NoRestart");

  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_EQ(LastRunOfLog(kDefaultLog),
            (Lines{"Nothing of the model is installed", "Delete the Uninstall key: done", "Exit code 0: done"}));
  // "==== yyyy-mm-dd hh:mm:ss UTC+hh:mm  ..."
  std::istringstream header(LastHeaderOfLog(kDefaultLog));
  std::string marker, date, time, offset;
  header >> marker >> date >> time >> offset;
  EXPECT_EQ(offset, zone->second) << header.str();
}

// One copy at a time: of two started together, one ends at once with the code deployment tools
// retry on. A plain mutex of the rule's old name, made first by another program with default
// security (as any standard user could; under Wine it has no owner at all), stops nothing.
struct CopiesAtOnce {
  int copies;
  bool oldNameHeldByAnotherProgram;
  std::vector<DWORD> exitCodes;  // in ascending order
};

class OneCopyAtATime : public ::testing::TestWithParam<CopiesAtOnce> {};

TEST_P(OneCopyAtATime, WhateverAnotherAccountHolds) {
  const CopiesAtOnce& row = GetParam();
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  const ScopedHandle held(row.oldNameHeldByAnotherProgram ? ::CreateMutexA(nullptr, FALSE, kOldOneCopyMutex)
                                                          : nullptr);
  if (row.oldNameHeldByAnotherProgram) {
    ASSERT_TRUE(held.IsValid()) << ::GetLastError();
  }

  std::vector<LaunchedProgram> copies(static_cast<size_t>(row.copies));
  for (LaunchedProgram& copy : copies) ASSERT_TRUE(copy.Start(UninstallerCommandLine() + " /quiet"));
  std::vector<DWORD> exitCodes;
  for (LaunchedProgram& copy : copies) exitCodes.push_back(copy.WaitForExit(kRunTimeoutMs).value_or(0xFFFFFFFF));
  std::sort(exitCodes.begin(), exitCodes.end());

  EXPECT_EQ(exitCodes, row.exitCodes);
  EXPECT_FALSE(ModelDriverInstalled());
}

INSTANTIATE_TEST_SUITE_P(
    Copies, OneCopyAtATime,
    ::testing::Values(CopiesAtOnce{2, false, {ERROR_INSTALL_ALREADY_RUNNING, ERROR_SUCCESS_REBOOT_REQUIRED}},
                      CopiesAtOnce{1, true, {ERROR_SUCCESS_REBOOT_REQUIRED}}));

// Where the private namespace calls exist but do not hold the rule (a label refused, a namespace
// neither made nor opened), the owner-checked mutex holds it: of two copies the second still sees
// the first, and the log is told which rule held. Wine lacks the calls; stand-ins answer as such
// a system would.
HANDLE WINAPI MakesABoundary(LPCWSTR, ULONG) {
  static int boundary;
  return &boundary;
}
BOOL WINAPI Adds(HANDLE*, PSID) { return TRUE; }
BOOL WINAPI RefusesTheLabel(HANDLE*, PSID) {
  ::SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}
VOID WINAPI Deletes(HANDLE) {}
HANDLE WINAPI Makes(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR) {
  static int made;
  return &made;
}
HANDLE WINAPI CannotMake(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return nullptr;
}
HANDLE WINAPI CannotOpen(LPVOID, LPCWSTR) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return nullptr;
}
BOOLEAN WINAPI Closes(HANDLE, ULONG) { return TRUE; }

struct FailingNamespace {
  const char* name;
  NamespaceCalls calls;
  DWORD error;
};
void PrintTo(const FailingNamespace& row, std::ostream* out) { *out << row.name; }

class OneCopyRule : public ::testing::TestWithParam<FailingNamespace> {};

TEST_P(OneCopyRule, FallsBackToTheOwnerCheckedMutex) {
  const FailingNamespace& row = GetParam();
  const std::string failed = "The private namespace of the one-copy rule could not be labelled, made or opened "
                             "(error " + std::to_string(row.error) + "): ";
  SingleInstance first(row.calls);
  SingleInstance second(row.calls);

  EXPECT_FALSE(first.AnotherCopyRuns());
  EXPECT_TRUE(second.AnotherCopyRuns());
  EXPECT_EQ(first.Note(), failed + "the owner-checked mutex holds the rule");
  EXPECT_EQ(second.Note(), failed + "another copy holds the owner-checked mutex");
}

INSTANTIATE_TEST_SUITE_P(
    Namespaces, OneCopyRule,
    ::testing::Values(
        FailingNamespace{"LabelRefused",
                         {MakesABoundary, Adds, RefusesTheLabel, Deletes, Makes, CannotOpen, Closes},
                         ERROR_INVALID_PARAMETER},
        FailingNamespace{"NeitherMadeNorOpened",
                         {MakesABoundary, Adds, Adds, Deletes, CannotMake, CannotOpen, Closes},
                         ERROR_ACCESS_DENIED}),
    [](const ::testing::TestParamInfo<FailingNamespace>& row) { return std::string(row.param.name); });

// What a command line may ask for besides the uninstall: the usage, or something the program
// does not know. None of it removes anything.
struct CommandLineCase {
  const char* arguments;
  DWORD exitCode;
  enum Shows { Nothing, UsageBox, Dialog } shows;
  bool inAnUnseenStation = false;
};

class CommandLines : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLines, ThatAskForNoUninstallChangeNothing) {
  const CommandLineCase& line = GetParam();
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  const std::vector<inventory::Item> before = inventory::TakeInventory();

  std::optional<DWORD> exitCode;
  if (line.shows == CommandLineCase::Nothing) {
    const WatchedRun run = RunUninstallerWatched(line.arguments, kRunTimeoutMs, line.inAnUnseenStation);
    EXPECT_FALSE(run.windowShown);
    exitCode = run.exitCode;
  } else {
    robot::UninstallSession session;
    ASSERT_TRUE(session.Start(UninstallerCommandLine() + " " + line.arguments, kRunTimeoutMs));
    if (line.shows == CommandLineCase::Dialog) {
      ASSERT_TRUE(session.WaitForScan(kRunTimeoutMs));
      ASSERT_NE(session.Dialog(), nullptr);
      EXPECT_EQ(session.Dialog()->ListLines(IDC_PRINTER_LIST)->size(), 3u);
      EXPECT_TRUE(session.Dialog()->PressButton(IDCANCEL));
    }
    const robot::RunRecord record = session.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);
    if (line.shows == CommandLineCase::UsageBox) {
      EXPECT_EQ(session.Dialog(), nullptr);
      ASSERT_EQ(record.messageBoxes.size(), 1u);
      EXPECT_EQ(record.messageBoxes[0].box.caption, APP_TITLE);
      EXPECT_EQ(record.messageBoxes[0].box.text.rfind("Usage: ", 0), 0u) << record.messageBoxes[0].box.text;
    }
    exitCode = record.exitCode;
  }

  EXPECT_EQ(exitCode, std::optional<DWORD>(line.exitCode));
  EXPECT_EQ(inventory::Lines(inventory::TakeInventory(), Kind::Model), inventory::Lines(before, Kind::Model));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLines,
    ::testing::Values(CommandLineCase{"/quiet /bogus", ERROR_INVALID_COMMAND_LINE, CommandLineCase::Nothing},
                      CommandLineCase{"/VerySilent /log", ERROR_INVALID_COMMAND_LINE, CommandLineCase::Nothing},
                      CommandLineCase{"/s leftover", ERROR_INVALID_COMMAND_LINE, CommandLineCase::Nothing},
                      CommandLineCase{"/quiet /?", ERROR_SUCCESS, CommandLineCase::Nothing},
                      CommandLineCase{"/?", ERROR_SUCCESS, CommandLineCase::UsageBox},
                      CommandLineCase{"/?", ERROR_SUCCESS, CommandLineCase::Nothing, true},
                      CommandLineCase{"/bogus recorded-by-an-installer", ERROR_SUCCESS, CommandLineCase::Dialog},
                      CommandLineCase{"/qb", ERROR_SUCCESS, CommandLineCase::Dialog}));

// A log path that an ordinary user could have prepared, as SYSTEM's own temporary folder allows:
// the file behind it must not be written. The run goes on without its log. (Wine shows a symbolic
// link to a file as the file itself, so that kind cannot be planted here.)
enum class PlantedLink { HardLinkToTheFile, SymbolicLinkToTheFolder };

class PlantedLogLink : public ::testing::TestWithParam<PlantedLink> {};

TEST_P(PlantedLogLink, LeavesTheFileBehindItUntouched) {
  // Each case has folders of its own.
  const std::string kind = std::to_string(static_cast<int>(GetParam()));
  const std::string protectedFolder = "C:\\windows\\protected" + kind;
  const std::string protectedFile = protectedFolder + "\\settings.ini";
  const std::string plantedFolder = "C:\\windows\\Temp\\planted" + kind;
  ASSERT_TRUE(stager::MakeDirectories(protectedFolder) && stager::MakeDirectories(plantedFolder));
  ASSERT_TRUE(stager::WriteFileText(protectedFile, "[keep]\r\n"));
  ASSERT_TRUE(StageForTest(UninstallKeyOnly()));

  std::string logPath = plantedFolder + "\\uninstall.log";
  switch (GetParam()) {
    case PlantedLink::HardLinkToTheFile:
      ASSERT_TRUE(::CreateHardLinkA(logPath.c_str(), protectedFile.c_str(), nullptr));
      break;
    case PlantedLink::SymbolicLinkToTheFolder:
      ASSERT_TRUE(removal_test::MakeDirectoryLink(plantedFolder + "\\logs", protectedFolder));
      logPath = plantedFolder + "\\logs\\settings.ini";
      break;
  }

  const WatchedRun run = RunUninstallerWatched("/quiet /log " + logPath);

  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_EQ(FileText(protectedFile), "[keep]\r\n");
}

INSTANTIATE_TEST_SUITE_P(Links, PlantedLogLink,
                         ::testing::Values(PlantedLink::HardLinkToTheFile, PlantedLink::SymbolicLinkToTheFolder));

// The log's folders are held only from their check until the file's own handle is checked, and
// shared for writing meanwhile: a rename or a hard link into a folder opens it for FILE_ADD_FILE
// (Wine enforces that sharing on folders, though its renames do not open the target's folder), so
// while a run is under way such an open of the log's folder, or of a folder above it, succeeds.
// The run is kept under way by a spooler that takes 38 s to stop (a program of the tests run as
// the spooler service), and the folders are opened while it stops.
TEST(LogFolders, CanBeOpenedForAddingEntriesWhileARunIsUnderWay) {
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  ASSERT_TRUE(removal_test::ChangeServiceProgram("Spooler", removal_test::TestServiceCommandLine("Spooler slow-stop")));
  ASSERT_TRUE(removal_test::StartServiceAndWait("Spooler"));
  const std::string folder = "C:\\till-logs\\till-0042";
  const std::string logPath = folder + "\\uninstall.log";
  ASSERT_TRUE(stager::MakeDirectories(folder));

  LaunchedProgram run;
  ASSERT_TRUE(run.Start(UninstallerCommandLine() + " /quiet /log " + logPath));
  ASSERT_TRUE(robot::WaitUntil(
      [] { return removal_test::QueryService("Spooler").state == static_cast<DWORD>(SERVICE_STOP_PENDING); },
      kRunTimeoutMs));
  for (const std::string& held : {folder, std::string("C:\\till-logs")}) {
    const ScopedHandle opened(::CreateFileA(held.c_str(), FILE_ADD_FILE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    EXPECT_TRUE(opened.IsValid()) << held << ": error " << ::GetLastError();
  }
  EXPECT_TRUE(run.IsRunning()) << "the run was over before the folders were opened";
  EXPECT_EQ(run.WaitForExit(kRunTimeoutMs), std::optional<DWORD>(ERROR_SUCCESS_REBOOT_REQUIRED));
}

// The log's folder swapped for a link to a protected folder at the moment a racing user would
// choose: checked, and the file not yet opened. Wine cannot be raced there at will, so the swap is
// made through the log file's seam, in this process.
enum class FolderSwap {
  // Through Windows: the checked folder is held, so it can be neither renamed nor removed, and the
  // log is written where it was checked.
  RenamedThroughWindows,
  // Behind Wine's back, where no sharing counts: what Windows allows by making the held folder,
  // still empty, a mount point through a handle opened for its attributes only. The opened file's
  // own handle shows where it is; nothing is written, and a file the open made there goes again.
  LinkedBehindWinesBack,
};

struct SwapCase {
  FolderSwap swap;
  const char* logName;  // "settings.ini" is the protected folder's file
};

class LogFolderSwappedAfterItsCheck : public ::testing::TestWithParam<SwapCase> {};

TEST_P(LogFolderSwappedAfterItsCheck, LeavesTheProtectedFolderUntouched) {
  const SwapCase& row = GetParam();
  const std::string kind = std::to_string(static_cast<int>(row.swap)) + row.logName;
  const std::string protectedFolder = "C:\\windows\\protected-swap" + kind;
  const std::string protectedFile = protectedFolder + "\\settings.ini";
  const std::string checkedFolder = "C:\\windows\\Temp\\swap" + kind + "\\logs";
  const std::string logPath = checkedFolder + "\\" + row.logName;
  ASSERT_TRUE(stager::MakeDirectories(protectedFolder) && stager::MakeDirectories(checkedFolder));
  ASSERT_TRUE(stager::WriteFileText(protectedFile, "[keep]\r\n"));

  bool swapped = false;
  bool openedForAdding = false;
  DWORD opened = ERROR_SUCCESS;
  bool written = false;
  {
    LogFile log([&](const std::string&) {
      // Held, the folder still takes new entries, as a rename into it needs.
      openedForAdding = ScopedHandle(::CreateFileA(checkedFolder.c_str(), FILE_ADD_FILE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr))
                            .IsValid();
      const std::string away = checkedFolder + ".away";
      const bool moved = row.swap == FolderSwap::RenamedThroughWindows
                             ? ::MoveFileExA(checkedFolder.c_str(), away.c_str(), 0) != FALSE
                             : removal_test::MoveBehindWinesBack(checkedFolder, away);
      swapped = moved && removal_test::MakeDirectoryLink(checkedFolder, protectedFolder);
    });
    opened = log.Open(logPath);
    written = log.Append("written\r\n");
  }

  EXPECT_EQ(FileText(protectedFile), "[keep]\r\n");
  if (row.swap == FolderSwap::RenamedThroughWindows) {
    EXPECT_FALSE(swapped) << "the checked folder was renamed while held";
    EXPECT_TRUE(openedForAdding) << "the held folder refused an open for adding entries";
    EXPECT_EQ(opened, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(written);
    EXPECT_EQ(FileText(logPath), "written\r\n");
  } else {
    ASSERT_TRUE(swapped);
    EXPECT_EQ(opened, static_cast<DWORD>(ERROR_CANT_ACCESS_FILE));
    EXPECT_FALSE(written);
    EXPECT_EQ(::GetFileAttributesA((protectedFolder + "\\uninstall.log").c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

INSTANTIATE_TEST_SUITE_P(Swaps, LogFolderSwappedAfterItsCheck,
                         ::testing::Values(SwapCase{FolderSwap::RenamedThroughWindows, "uninstall.log"},
                                           SwapCase{FolderSwap::LinkedBehindWinesBack, "settings.ini"},
                                           SwapCase{FolderSwap::LinkedBehindWinesBack, "uninstall.log"}));

// The check where a window can be seen: one box names what is there (the first ten things and
// how many) or that nothing is, and OK ends it with the check's own code. It holds no rule of one
// copy at a time: a removal started while its box is open runs.
TEST(Check, InTheOpenOneBoxTellsWhatIsThereAndARemovalStartedMeanwhileRuns) {
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  const auto checkInTheOpen = [](DWORD exitCode) {
    robot::UninstallSession session;
    EXPECT_TRUE(session.Start(UninstallerCommandLine() + " /check", kRunTimeoutMs));
    std::optional<robot::MessageBoxInfo> box =
        robot::WaitForMessageBox(session.Program().ProcessId(), nullptr, kRunTimeoutMs);
    if (!box) {
      ADD_FAILURE() << "no message box came up";
      return box;
    }
    EXPECT_EQ(session.Dialog(), nullptr);
    EXPECT_EQ(box->caption, APP_TITLE);
    EXPECT_EQ(box->buttonIds, std::vector<int>{IDOK});
    if (exitCode != 0) {
      const WatchedRun removal = RunUninstallerWatched("/quiet");
      EXPECT_EQ(removal.exitCode, std::optional<DWORD>(ERROR_SUCCESS_REBOOT_REQUIRED)) << "a removal during a check";
    }
    EXPECT_TRUE(robot::AnswerMessageBox(*box, IDOK));
    EXPECT_EQ(session.Program().WaitForExit(kRunTimeoutMs), std::optional<DWORD>(exitCode));
    return box;
  };

  const std::optional<robot::MessageBoxInfo> found = checkInTheOpen(1);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->text.rfind("Found on this computer (28):\n\n    printer \"Kitchen  Receipts-1\"\n", 0), 0u) << found->text;
  EXPECT_NE(found->text.find("\n    printer \"Front Desk (Bar 2)\"\n"), std::string::npos) << found->text;
  EXPECT_NE(found->text.find("\n    ... and 18 more\n\nNothing was changed."), std::string::npos) << found->text;

  const std::optional<robot::MessageBoxInfo> nothing = checkInTheOpen(0);
  ASSERT_TRUE(nothing);
  EXPECT_EQ(nothing->text, "Nothing of the KARVELO QTM-820wide is on this computer.\n\nNothing was changed.");
}

// While a copy run by an administrator or SYSTEM holds the rule, the answer would hold for a moment
// only. Under Wine the rule is the mutex, which the test makes as such a copy makes it.
TEST(Check, WhileAnotherCopyRunsEndsWith1618AndNamesNothing) {
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA("O:BAD:P(A;;GA;;;SY)(A;;GA;;;BA)",
                                                                     SDDL_REVISION_1, &descriptor, nullptr));
  const ScopedLocalMemory descriptorMemory(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  const ScopedHandle held(::CreateMutexA(&attributes, FALSE, kOldOneCopyMutex));
  ASSERT_TRUE(held.IsValid()) << ::GetLastError();

  const WatchedRun run = RunUninstallerWatched("/check /quiet");

  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(ERROR_INSTALL_ALREADY_RUNNING));
  const Lines lines = LinesOf(run.output);
  ASSERT_FALSE(lines.empty()) << "nothing on standard output";
  EXPECT_EQ(lines.back(), "Exit code 1618: another copy of the uninstaller is running; check again once it has finished");
  EXPECT_EQ(run.output.find("Found on the machine: "), std::string::npos) << run.output;
}

// The log that /log names holds what standard output shows, line for line; a file that Windows
// deletes at the next restart counts as gone, and both say that it goes then. No default log.
TEST(Check, LogsWhatItShowsAndCountsAFileDeletedAtTheRestartAsGone) {
  stager::Installation installation;
  installation.files = {{stager::Folder::System, "MON820w.DLL"}};
  ASSERT_TRUE(StageForTest(installation));
  const std::string file = stager::FullPath(installation.files[0]);
  ASSERT_TRUE(::MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) << ::GetLastError();
  constexpr char kCheckLog[] = "C:\\check.log";

  const WatchedRun run = RunUninstallerWatched(std::string("/check /quiet /log ") + kCheckLog);

  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(ERROR_SUCCESS));
  const Lines logged = LastRunOfLog(kCheckLog);
  EXPECT_EQ(logged, (Lines{"Goes at the next restart: driver file " + file,
                           "Exit code 0: nothing of the model is on this computer"}));
  Lines shown = LinesOf(run.output);
  ASSERT_GE(shown.size(), 2u) << run.output;
  EXPECT_EQ(shown[0], LastHeaderOfLog(kCheckLog));
  shown.erase(shown.begin(), shown.begin() + 2);
  EXPECT_EQ(shown, logged);
  EXPECT_EQ(::GetFileAttributesA(kDefaultLog), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

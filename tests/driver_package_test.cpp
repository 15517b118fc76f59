// Removing the model's driver package from a staged installation, under Wine, against the real
// spooler, registry and files.

#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "identity/target_identity.h"
#include "removal/removal.h"
#include "removal/spooler_service.h"
#include "tests/planted/markers.h"
#include "tests/removal_test_support.h"
#include "tools/stager/installation.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"
#include "win/scoped_service.h"

namespace {

using namespace removal_test;
using stager::FileSpec;

void RemoveModelPackage(const PackageSpoolerCalls& spooler = PackageSpoolerCalls{}) {
  RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER, ReportStep(), spooler);
}

stager::Installation StagedPackage() {
  stager::Installation package;
  package.drivers = {stager::ModelDriver(), stager::OtherDriver("Generic Thermal 58")};
  package.uninstallKey = true;
  package.monitorKey = true;
  package.processorKey = true;
  package.files = stager::ModelDriverFiles();
  const std::vector<FileSpec> decoys = stager::DriverFileDecoys();
  package.files.insert(package.files.end(), decoys.begin(), decoys.end());
  return package;
}

bool KeyExists(const std::string& key) { return stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, key); }

bool DriverInstalled(const std::string& name) {
  const std::vector<std::string> drivers = stager::ListPrinterDrivers();
  return std::find(drivers.begin(), drivers.end(), name) != drivers.end();
}

// ---- Forms: Wine's form calls change nothing, so the model's forms are listed by a stand-in that
// adds them to the spooler's real forms, and deletions are recorded before the real call. ----

std::vector<std::string> g_modelForms;
std::vector<std::string> g_deletedForms;

BOOL WINAPI EnumRealAndModelForms(HANDLE server, DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                                  DWORD* returned) {
  std::vector<std::string> names;
  DWORD realNeeded = 0, realCount = 0;
  (void)::EnumFormsA(server, 1, nullptr, 0, &realNeeded, &realCount);
  std::vector<BYTE> real(realNeeded + 1);
  if (::EnumFormsA(server, 1, real.data(), realNeeded, &realNeeded, &realCount)) {
    const auto* forms = reinterpret_cast<const FORM_INFO_1A*>(real.data());
    for (DWORD i = 0; i < realCount; ++i) names.push_back(forms[i].pName);
  }
  names.insert(names.end(), g_modelForms.begin(), g_modelForms.end());

  DWORD total = static_cast<DWORD>(names.size() * sizeof(FORM_INFO_1A));
  for (const std::string& name : names) total += static_cast<DWORD>(name.size() + 1);
  *needed = total;
  *returned = 0;
  if (level != 1 || buffer == nullptr || size < total) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* records = reinterpret_cast<FORM_INFO_1A*>(buffer);
  char* text = reinterpret_cast<char*>(buffer + names.size() * sizeof(FORM_INFO_1A));
  for (size_t i = 0; i < names.size(); ++i) {
    records[i] = FORM_INFO_1A{};
    records[i].pName = text;
    text = std::copy(names[i].begin(), names[i].end(), text);
    *text++ = '\0';
  }
  *returned = static_cast<DWORD>(names.size());
  return TRUE;
}

BOOL WINAPI RecordAndDeleteForm(HANDLE server, LPSTR name) {
  g_deletedForms.push_back(name);
  return ::DeleteFormA(server, name);
}

TEST(DriverPackageForms, OnlyFormsHoldingTheModelTailExactlyGo) {
  g_modelForms = {"820wide Roll 80mm", "Roll 820wide 80mm", "Receipt 820wide",
                  "820WIDE Roll",      "Roll 820w 80mm"};
  g_deletedForms.clear();
  PackageSpoolerCalls spooler;
  spooler.enumForms = EnumRealAndModelForms;
  spooler.deleteForm = RecordAndDeleteForm;

  RemoveModelPackage(spooler);

  EXPECT_EQ(g_deletedForms,
            (std::vector<std::string>{"820wide Roll 80mm", "Roll 820wide 80mm", "Receipt 820wide"}));
}

// ---- A model name too short for its shape is refused before anything is touched. ----

int g_formListings = 0;
BOOL WINAPI CountFormListings(HANDLE server, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
  ++g_formListings;
  return ::EnumFormsA(server, level, buffer, size, needed, returned);
}

class ShortModelName : public ::testing::TestWithParam<const char*> {};

TEST_P(ShortModelName, IsRefusedAndNothingIsDone) {
  const std::string uninstallKey = std::string(UNINSTALL_KEY_PREFIX) + GetParam();
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_LOCAL_MACHINE, uninstallKey, "DisplayName", "kept"));
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;
  g_formListings = 0;
  PackageSpoolerCalls spooler;
  spooler.enumForms = CountFormListings;

  RemoveDriverPackage(GetParam(), DRIVER_FILE_LETTER, ReportStep(), spooler);

  EXPECT_EQ(g_formListings, 0);
  EXPECT_TRUE(KeyExists(uninstallKey));
  EXPECT_TRUE(DriverInstalled(DRIVER_NAME));
  EXPECT_TRUE(KeyExists(stager::kMonitorKey));
  for (const FileSpec& file : stager::ModelDriverFiles()) EXPECT_TRUE(Exists(stager::FullPath(file))) << file.relativePath;
}

INSTANTIATE_TEST_SUITE_P(FewerThanFiveCharacters, ShortModelName, ::testing::Values("", "Q", "QTM-"));

// ---- Driver, monitor, processor, files, Uninstall key. ----

TEST(DriverPackage, DriverMonitorAndUninstallKeyAreGoneAnotherDriverStays) {
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_LOCAL_MACHINE, stager::kDriverPrinterKey, "Name", DRIVER_NAME));
  ASSERT_TRUE(DriverInstalled(DRIVER_NAME));
  ASSERT_TRUE(KeyExists(stager::kMonitorKey));

  RemoveModelPackage();

  EXPECT_FALSE(DriverInstalled(DRIVER_NAME));
  EXPECT_FALSE(KeyExists(stager::kDriverKey));
  EXPECT_FALSE(KeyExists(stager::kDriverPrinterKey));
  EXPECT_FALSE(KeyExists(stager::kMonitorKey));
  EXPECT_FALSE(KeyExists(UNINSTALL_KEY));
  EXPECT_TRUE(DriverInstalled("Generic Thermal 58"));
}

// Wine's spooler refuses to delete one version of a driver, so the registry fallback runs there. A
// driver key with many subkeys takes a while to delete; a watcher sees the printer key go and
// checks that the driver key had gone before it.
TEST(DriverPackage, FallbackDeletesTheDriverKeyBeforeThePrinterKey) {
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_LOCAL_MACHINE, stager::kDriverPrinterKey, "Name", DRIVER_NAME));
  for (int i = 0; i < 3000; ++i) {
    ASSERT_TRUE(stager::WriteRegistryDword(HKEY_LOCAL_MACHINE,
                                           std::string(stager::kDriverKey) + "\\Settings\\" + std::to_string(i),
                                           "Value", i));
  }
  std::atomic<bool> done{false};
  std::atomic<int> driverKeyWhenPrinterKeyWent{-1};
  std::thread watcher([&] {
    while (!done) {
      if (!KeyExists(stager::kDriverPrinterKey)) {
        driverKeyWhenPrinterKeyWent = KeyExists(stager::kDriverKey) ? 1 : 0;
        return;
      }
    }
  });

  RemoveModelPackage();
  done = true;
  watcher.join();

  EXPECT_EQ(driverKeyWhenPrinterKeyWent, 0) << "-1: the printer key stayed; 1: it went before the driver key";
}

// Wine's spooler refuses one version of a driver whether or not a printer uses it; the refusal
// of a driver in use is a stand-in's.
BOOL WINAPI RefuseDriverInUse(LPSTR, LPSTR, LPSTR, DWORD, DWORD) {
  ::SetLastError(ERROR_PRINTER_DRIVER_IN_USE);
  return FALSE;
}

// Deleting the driver's keys from under a spooler that still uses it would corrupt the spooler's
// state: they stay, and the step says why.
void ExpectTheDriversKeysKept(decltype(&::DeletePrinterDriverExA) deleteDriver, DWORD refusal) {
  PackageSpoolerCalls spooler;
  spooler.deletePrinterDriverEx = deleteDriver;
  RemovalResult driverStep;
  RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER, [&](const std::string& step, const RemovalResult& result) {
    if (step == "Delete the printer driver \"KARVELO QTM-820wide\"") driverStep = result;
  }, spooler);

  EXPECT_TRUE(KeyExists(stager::kDriverKey));
  EXPECT_TRUE(DriverInstalled(DRIVER_NAME));
  EXPECT_EQ(driverStep.error, refusal);
  ASSERT_EQ(driverStep.notes.size(), 1u);
  EXPECT_EQ(driverStep.notes[0].rfind("its registry keys kept: ", 0), 0u) << driverStep.notes[0];
}

TEST(DriverPackage, TheDriversKeysStayWhileAPrinterOfTheModelIsListed) {
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;
  ASSERT_TRUE(stager::StagePrinter({"Kasse 1", DRIVER_NAME, true}, error)) << error;

  ExpectTheDriversKeysKept(&::DeletePrinterDriverExA, ERROR_INVALID_PARAMETER);
}

TEST(DriverPackage, TheDriversKeysStayWhenTheSpoolerSaysTheDriverIsInUse) {
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;

  ExpectTheDriversKeysKept(RefuseDriverInUse, ERROR_PRINTER_DRIVER_IN_USE);
}

BOOL WINAPI AcceptProcessorDeletion(LPSTR, LPSTR, LPSTR) { return TRUE; }

std::vector<std::string> g_refusedProcessor;
BOOL WINAPI RefuseProcessorDeletion(LPSTR server, LPSTR environment, LPSTR name) {
  g_refusedProcessor = {server == nullptr ? "(local)" : server, environment, name};
  ::SetLastError(ERROR_UNKNOWN_PRINTPROCESSOR);
  return FALSE;
}

TEST(DriverPackage, ProcessorKeyIsDeletedDirectlyOnlyWhenTheSpoolerRefuses) {
  std::string error;
  ASSERT_TRUE(stager::StageProcessorKey(error)) << error;
  PackageSpoolerCalls accepting;
  accepting.deletePrintProcessor = AcceptProcessorDeletion;
  RemoveModelPackage(accepting);
  EXPECT_TRUE(KeyExists(stager::kProcessorKey)) << "deleted although the spooler accepted";

  PackageSpoolerCalls refusing;
  refusing.deletePrintProcessor = RefuseProcessorDeletion;
  RemoveModelPackage(refusing);
  EXPECT_FALSE(KeyExists(stager::kProcessorKey));
  EXPECT_EQ(g_refusedProcessor,
            (std::vector<std::string>{"(local)", "Windows NT x86", stager::kProcessorName}));
}

TEST(DriverPackage, TheThirteenFilesGoAndLookAlikesStay) {
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;

  RemoveModelPackage();

  for (const FileSpec& file : stager::ModelDriverFiles()) {
    EXPECT_FALSE(Exists(stager::FullPath(file))) << stager::FullPath(file);
  }
  for (const FileSpec& file : stager::DriverFileDecoys()) {
    EXPECT_TRUE(Exists(stager::FullPath(file))) << stager::FullPath(file);
  }
}

// ---- Printer queues: Wine keeps no jobs across processes and pauses no printer, so stand-ins report
// the printer paused, or not, and note what is asked of the queue while the printer is there. ----

bool g_reportPaused = false;
std::vector<std::string> g_queueCommands;

BOOL WINAPI ReportPausedOrNot(HANDLE, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
  *needed = sizeof(PRINTER_INFO_6);
  if (level != 6 || size < *needed) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  reinterpret_cast<PRINTER_INFO_6*>(buffer)->dwStatus = g_reportPaused ? PRINTER_STATUS_PAUSED : 0;
  return TRUE;
}

BOOL WINAPI NoteQueueCommand(HANDLE printer, DWORD level, BYTE* info, DWORD command) {
  const bool listed = stager::ListPrinters().size() == 1;
  g_queueCommands.push_back(std::string(command == PRINTER_CONTROL_PURGE    ? "purge"
                                        : command == PRINTER_CONTROL_RESUME ? "resume"
                                                                            : "other") +
                            (listed ? "" : " after the deletion"));
  return ::SetPrinterA(printer, level, info, command);
}

// A paused printer with jobs refuses its deletion, and one with jobs left is only marked for it. A
// paused one is purged before it is resumed: resumed first, it hands its head job to the port.
TEST(PrinterQueues, ArePurgedWhilePausedThenResumedBeforeThePrinterIsDeleted) {
  PrinterQueueCalls calls;
  calls.getPrinter = ReportPausedOrNot;
  calls.setPrinter = NoteQueueCommand;
  std::string error;
  ASSERT_TRUE(stager::StageDriver(stager::ModelDriver(), error)) << error;
  for (const bool paused : {true, false}) {
    ASSERT_TRUE(stager::StagePrinter({"Kasse 1", DRIVER_NAME, true}, error)) << error;
    g_reportPaused = paused;
    g_queueCommands.clear();

    DeletePrinters({"Kasse 1"}, ReportStep(), calls);

    EXPECT_TRUE(stager::ListPrinters().empty());
    const std::vector<std::string> expected =
        paused ? std::vector<std::string>{"purge", "resume"} : std::vector<std::string>{"purge"};
    EXPECT_EQ(g_queueCommands, expected);
  }
}

// ---- The spooler restart, and what a second run does. ----

// The spooler's process, once the service reports that it runs.
DWORD RunningSpoolerProcess() {
  for (int wait = 0; wait < 100; ++wait) {
    const ServiceState state = QueryService("Spooler");
    if (state.state == SERVICE_RUNNING && state.processId != 0) return state.processId;
    ::Sleep(100);
  }
  return 0;
}

bool StartSpooler() { return StartServiceAndWait("Spooler") && RunningSpoolerProcess() != 0; }

// Services that depend on the spooler are real services here, each recording its starts and
// stops with the spooler's state and process at that moment. Wine lists no dependents (its
// EnumDependentServices is a stub), so the listing alone stands in for it: the dependents in the
// state asked for, in the reverse of their start order, as Windows lists them.
const std::vector<std::string> kDependentsInStartOrder = {"PosPrintAgent", "PosReceiptMonitor", "PosIdleService"};

BOOL WINAPI ListDependentsAsWindowsDoes(SC_HANDLE, DWORD wanted, ENUM_SERVICE_STATUSA* services, DWORD size,
                                        DWORD* needed, DWORD* returned) {
  std::vector<std::pair<std::string, DWORD>> listed;
  for (auto name = kDependentsInStartOrder.rbegin(); name != kDependentsInStartOrder.rend(); ++name) {
    const DWORD state = QueryService(*name).state;
    if ((wanted & (state == SERVICE_STOPPED ? SERVICE_INACTIVE : SERVICE_ACTIVE)) != 0) listed.push_back({*name, state});
  }
  DWORD total = static_cast<DWORD>(listed.size() * sizeof(ENUM_SERVICE_STATUSA));
  for (const auto& service : listed) total += static_cast<DWORD>(service.first.size() + 1);
  *needed = total;
  *returned = 0;
  if (size < total) {
    ::SetLastError(ERROR_MORE_DATA);
    return FALSE;
  }
  char* text = reinterpret_cast<char*>(services + listed.size());
  for (size_t i = 0; i < listed.size(); ++i) {
    services[i] = ENUM_SERVICE_STATUSA{};
    services[i].lpServiceName = text;
    services[i].lpDisplayName = text;
    services[i].ServiceStatus.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    services[i].ServiceStatus.dwCurrentState = listed[i].second;
    text = std::copy(listed[i].first.begin(), listed[i].first.end(), text);
    *text++ = '\0';
  }
  *returned = static_cast<DWORD>(listed.size());
  return TRUE;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The spooler is Wine's own, or the test service run as the spooler service, as a till's spooler
// can be: slow to stop while it reports its progress (38 s, more than the 30 s the restart once
// waited), unable to start a second time, stopping only after 40 s without progress (after the
// wait gave up), or hanging while it stops.
struct SpoolerKind {
  const char* name;
  const char* testServiceMode;  // nullptr: Wine's own spooler
  DWORD result;
  DWORD stateAfter;
};
std::string KindName(const ::testing::TestParamInfo<SpoolerKind>& kind) { return kind.param.name; }
void PrintTo(const SpoolerKind& kind, std::ostream* out) { *out << kind.name; }

const SpoolerKind kSpoolerKinds[] = {
    {"WinesOwnSpooler", nullptr, ERROR_SUCCESS, SERVICE_RUNNING},
    {"ASpoolerSlowToStop", "slow-stop", ERROR_SUCCESS, SERVICE_RUNNING},
    {"ASpoolerThatCannotStartASecondTime", "no-second-start C:\\spooler-stopped.marker", ERROR_MOD_NOT_FOUND,
     SERVICE_STOPPED},
    {"ASpoolerThatStopsAfterTheWaitGaveUp", "late-stop", ERROR_SUCCESS, SERVICE_RUNNING},
    {"ASpoolerThatHangsWhileStopping", "stalled-stop", ERROR_SERVICE_REQUEST_TIMEOUT, SERVICE_STOP_PENDING},
};

class SpoolerRestartWith : public ::testing::TestWithParam<SpoolerKind> {};

// The dependents are started again whatever became of the spooler. Wine starts a service without
// looking at the services it depends on; Windows would try the spooler once more, and the start of
// a dependent would fail where the spooler's does.
TEST_P(SpoolerRestartWith, StopsTheRunningDependentsFirstAndStartsThemAgainAfterInReverse) {
  const SpoolerKind& spooler = GetParam();
  if (spooler.testServiceMode != nullptr) {
    ASSERT_TRUE(ChangeServiceProgram("Spooler", TestServiceCommandLine(std::string("Spooler ") + spooler.testServiceMode)));
  }
  const std::string log = "C:\\dependents.log";
  const auto dependent = [&](const std::string& name) { return TestServiceCommandLine(name + " dependent " + log); };
  ASSERT_TRUE(StartSpooler());
  ASSERT_TRUE(InstallService("PosPrintAgent", dependent("PosPrintAgent"), {"Spooler"}));
  ASSERT_TRUE(InstallService("PosReceiptMonitor", dependent("PosReceiptMonitor"), {"PosPrintAgent"}));
  ASSERT_TRUE(InstallService("PosIdleService", dependent("PosIdleService"), {"Spooler"}));
  ASSERT_TRUE(StartServiceAndWait("PosPrintAgent"));
  ASSERT_TRUE(StartServiceAndWait("PosReceiptMonitor"));
  ASSERT_TRUE(::DeleteFileA(log.c_str())) << "the dependents recorded their start";
  const auto spoolerAs = [](const ServiceState& state) {
    return " spooler " + std::to_string(state.state) + " " + std::to_string(state.processId);
  };
  const std::string before = spoolerAs(QueryService("Spooler"));
  // Something else is stopping PosReceiptMonitor when the run asks it to stop; it is waited for.
  {
    const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    const ScopedService monitor(::OpenServiceA(manager.Get(), "PosReceiptMonitor", SERVICE_STOP));
    SERVICE_STATUS status{};
    ASSERT_TRUE(::ControlService(monitor.Get(), SERVICE_CONTROL_STOP, &status));
  }
  ASSERT_EQ(QueryService("PosReceiptMonitor").state, static_cast<DWORD>(SERVICE_STOP_PENDING));

  DependentServiceCalls calls;
  calls.enumDependentServices = ListDependentsAsWindowsDoes;
  const DWORD began = ::GetTickCount();
  EXPECT_EQ(RestartSpoolerService(calls), spooler.result);
  // Five times what the slowest kind takes (about 90 s for the one that hangs: 30 s without
  // progress, then 1 minute for a late stop), and less than the 10 minutes after which the restart
  // gives up any one wait, however its service progresses: a bound ten times as far would not
  // tell a wait that went on as long as that.
  EXPECT_LT(::GetTickCount() - began, 480000u) << "the restart waited past a service's hint";

  const ServiceState state = QueryService("Spooler");
  ASSERT_EQ(state.state, spooler.stateAfter);
  const std::string after = spoolerAs(state);
  if (state.state == SERVICE_RUNNING) ASSERT_NE(after, before) << "the spooler was not restarted";
  EXPECT_EQ(ReadLines(log), (std::vector<std::string>{"stop PosReceiptMonitor" + before, "stop PosPrintAgent" + before,
                                                      "start PosPrintAgent" + after,
                                                      "start PosReceiptMonitor" + after}));
  EXPECT_EQ(QueryService("PosReceiptMonitor").state, static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(QueryService("PosIdleService").state, static_cast<DWORD>(SERVICE_STOPPED)) << "it was not running";
}

INSTANTIATE_TEST_SUITE_P(Spoolers, SpoolerRestartWith, ::testing::ValuesIn(kSpoolerKinds), KindName);

// Everything the package removal could touch, as names, so that two states can be compared.
std::set<std::string> Snapshot() {
  std::set<std::string> state;
  std::vector<std::string> folders = {stager::FolderPath(stager::Folder::System),
                                      stager::FolderPath(stager::Folder::PrintProcessor),
                                      stager::FolderPath(stager::Folder::Windows),
                                      stager::FolderPath(stager::Folder::Inf)};
  const std::string driverFolder = stager::FolderPath(stager::Folder::PrinterDriver);
  for (const char* sub : {"", "\\2", "\\3"}) folders.push_back(driverFolder + sub);
  for (const std::string& folder : folders) {
    WIN32_FIND_DATAA entry{};
    const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      state.insert(folder + "\\" + entry.cFileName);
    } while (::FindNextFileA(search, &entry));
    ::FindClose(search);
  }
  for (const std::string& driver : stager::ListPrinterDrivers()) state.insert("driver " + driver);
  for (const stager::ListedPrinter& printer : stager::ListPrinters()) state.insert("printer " + printer.name);
  for (const char* key : {stager::kDriverKey, stager::kDriverPrinterKey, stager::kMonitorKey,
                          stager::kProcessorKey, UNINSTALL_KEY}) {
    if (KeyExists(key)) state.insert(std::string("key ") + key);
  }
  return state;
}

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM found) {
  if (::IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(found)->insert(window);
  return TRUE;
}

// Top-level windows that are visible, of any process.
std::set<HWND> VisibleWindows() {
  std::set<HWND> windows;
  ::EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

TEST(DriverPackage, SecondRunChangesNothingElseAndShowsNothing) {
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;
  RemoveModelPackage();
  const std::set<std::string> afterFirstRun = Snapshot();

  const std::set<HWND> shownBefore = VisibleWindows();
  std::atomic<bool> done{false};
  std::set<HWND> shownDuring;
  std::thread watcher([&] {
    while (!done) {
      for (HWND window : VisibleWindows()) {
        if (!shownBefore.count(window)) shownDuring.insert(window);
      }
      ::Sleep(20);
    }
  });
  RemoveModelPackage();
  done = true;
  watcher.join();

  EXPECT_EQ(Snapshot(), afterFirstRun);
  EXPECT_TRUE(shownDuring.empty()) << shownDuring.size() << " window(s) appeared";
}

// ---- The spooler restart, which happens with nothing installed too, starts no program: no net.exe
// runs, neither one planted beside the program or in the current folder nor the system's own. ----

TEST(SpoolerRestart, RunsNoNetProgramPlantedOrTheSystemsAndStillRestartsTheSpooler) {
  const std::string downloads = "C:\\Users\\Public\\Downloads\\driver-cleanup";
  const std::string work = "C:\\work";
  ASSERT_TRUE(stager::MakeDirectories(downloads));
  ASSERT_TRUE(stager::MakeDirectories(work));
  ASSERT_TRUE(CopyFileTo(BuildProgram("remove_package_host.exe"), downloads + "\\cleanup.exe"));
  ASSERT_TRUE(CopyFileTo(BuildProgram("planted_program.exe"), downloads + "\\net.exe"));
  ASSERT_TRUE(CopyFileTo(BuildProgram("planted_program.exe"), work + "\\net.exe"));

  // The plant works: a bare "net" started with this current folder runs it.
  ASSERT_TRUE(::SetCurrentDirectoryA(work.c_str()));
  ASSERT_GT(::WinExec("net stop spooler", SW_HIDE), 31u);
  for (int wait = 0; wait < 100 && PlantedMarkers().empty(); ++wait) ::Sleep(50);
  ASSERT_EQ(PlantedMarkers().size(), 1u) << "the planted net.exe could not be run at all";
  ASSERT_TRUE(::DeleteFileA((std::string(kPlantedMarkerFolder) + "\\" + PlantedMarkers().front()).c_str()));
  // Wine runs its own net.exe for the system folder's, whatever lies there, unless told otherwise.
  const std::string systemNet = stager::FolderPath(stager::Folder::System) + "\\net.exe";
  ASSERT_TRUE(CopyFileTo(BuildProgram("planted_program.exe"), systemNet));
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "net.exe", "native"));
  ASSERT_GT(::WinExec(("\"" + systemNet + "\" stop spooler").c_str(), SW_HIDE), 31u);
  for (int wait = 0; wait < 100 && PlantedMarkers().empty(); ++wait) ::Sleep(50);
  ASSERT_EQ(PlantedMarkers().size(), 1u) << "the system folder's net.exe could not be replaced";
  ASSERT_TRUE(::DeleteFileA((std::string(kPlantedMarkerFolder) + "\\" + PlantedMarkers().front()).c_str()));
  ASSERT_TRUE(StartSpooler());
  const DWORD spoolerBefore = RunningSpoolerProcess();

  EXPECT_EQ(RunToExit("\"" + downloads + "\\cleanup.exe\"", work, 60000), std::optional<DWORD>(0));

  // A program started and not waited for may leave its marker after the uninstaller has ended.
  for (int wait = 0; wait < 100 && PlantedMarkers().empty(); ++wait) ::Sleep(50);
  EXPECT_EQ(PlantedMarkers(), std::vector<std::string>{}) << "a planted net.exe ran";
  const DWORD spoolerAfter = RunningSpoolerProcess();
  EXPECT_NE(spoolerAfter, 0u) << "the spooler is not running again";
  EXPECT_NE(spoolerAfter, spoolerBefore) << "the spooler was not restarted";
}

// Without its local print provider the spooler cannot name the driver or processor directory. The
// files of those directories are then left alone, rather than looked for at the root of the
// current drive; the other directories are still cleaned.
TEST(DriverPackage, FilesOfADirectoryTheSystemCannotNameAreLeftAlone) {
  std::string error;
  ASSERT_TRUE(stager::Stage(StagedPackage(), error)) << error;
  const std::vector<std::string> atDriveRoot = {"C:\\3\\QTM820wE.dll", "C:\\3\\UI820w.INI", "C:\\PRO820w.dll"};
  ASSERT_TRUE(stager::MakeDirectories("C:\\3"));
  for (const std::string& path : atDriveRoot) ASSERT_TRUE(stager::WriteFileText(path, "not the driver's"));

  // Wine's per-program setting: the host runs with the local print provider disabled.
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_CURRENT_USER,
                                          "Software\\Wine\\AppDefaults\\remove_package_host.exe\\DllOverrides",
                                          "localspl", ""));
  ASSERT_EQ(RunToExit("\"" + BuildProgram("remove_package_host.exe") + "\"", "C:\\", 60000), std::optional<DWORD>(0));

  for (const std::string& path : atDriveRoot) EXPECT_TRUE(Exists(path)) << path;
  EXPECT_FALSE(Exists(stager::FullPath({stager::Folder::System, "MON820w.DLL"})));
  EXPECT_FALSE(Exists(stager::FullPath({stager::Folder::Windows, "QTM820wE.dll"})));
  EXPECT_TRUE(Exists(stager::FullPath({stager::Folder::PrinterDriver, "3\\QTM820wE.dll"})));
}

}  // namespace

// What is left of the package once its printers and its driver are gone (deleted by hand, by
// another tool, or in a run ended half-way): any one kind of leftover brings the whole driver
// removal phase, which takes it; a look-alike of any kind does not, and the program then says
// that the uninstall is complete, as when nothing is there at all.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/model_look.h"
#include "engine/what_remains.h"
#include "identity/target_identity.h"
#include "tests/e2e_support.h"
#include "tests/fault_matrix/whole_uninstall.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/presets.h"

namespace fault_matrix {
namespace {

using stager::Folder;
using stager::Installation;

// What any machine holds beside the model: a printer of another product with its driver, and a USB
// device and a USB printer's enumeration key of other makers (Wine's device installer deletes an
// enumerator's key with its last node).
Installation OtherProducts() {
  Installation machine;
  machine.drivers = {stager::OtherDriver("Generic Thermal 58")};
  machine.printers = {{"Office Label Printer", "Generic Thermal 58", false}};
  machine.deviceNodes = {{"USB\\VID_1A86&PID_7584\\HUB0001", {"USB\\Vid_1A86&Pid_7584"}}};
  machine.deviceKeys = {{"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\OTHERMAKERTP-80"}};
  return machine;
}

// One kind of artefact, laid beside the other products alone; what the check names of it.
struct Row {
  const char* name;
  void (*lay)(Installation&);
  std::vector<std::string> named;
};

std::string RowName(const ::testing::TestParamInfo<Row>& row) { return row.param.name; }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

std::string InInfDirectory(const std::string& name) { return stager::FolderPath(Folder::Inf) + "\\" + name; }

// A node of the model on the model's driver: a USB node of an unusual driver package that takes
// the device itself, its hardware ID in lower case as some devices report it.
stager::DeviceNodeSpec UsbNodeOnTheModelsDriver(const std::string& instanceId, std::vector<std::string> ids) {
  return {instanceId, std::move(ids), stager::DriverKeySpec{DRIVER_NAME, "oem12.inf"}};
}

stager::DeviceKeySpec BareKey(stager::DeviceKeySpec key) {
  key.instance = false;
  return key;
}

stager::InfFileSpec FamilyInf(const std::string& name) { return {name, true, true, false, true}; }

const Row kUsbNodeInLowerCase = {"UsbNodeInLowerCaseOnTheModelsDriver", [](Installation& i) {
  i.deviceNodes.push_back(UsbNodeOnTheModelsDriver("USB\\VID_2E5B&PID_0017\\KQ0001", {"usb\\vid_2e5b&pid_0017&rev_0100"}));
}, {"device node USB\\VID_2E5B&PID_0017\\KQ0001 on the model's driver"}};

// The sibling's driver comes from it, recorded as the model's INF or not (with the Uninstall key).
const Row kFamilyInfOfAnInstalledSibling = {"AFamilyInfOfAnInstalledSiblingsDriver", [](Installation& i) {
  i.drivers.push_back(stager::OtherDriver(stager::kSiblingDriverName));
  i.uninstallInfFile = InInfDirectory("oem8.inf");
  i.infFiles = {FamilyInf("oem8.inf")};
}};

// A printer still plugged in once its package went: Windows keeps its USB node on its own USB
// printing support and the printer node below it without a driver, and makes them anew.
const Row kPluggedInPrintersNodes = {"ThePluggedInPrintersNodesWithoutTheModelsDriver", [](Installation& i) {
  i.deviceNodes.push_back({"USB\\VID_2E5B&PID_0017\\KQ0001",
                           {"USB\\Vid_2E5B&Pid_0017&Rev_0100", "USB\\Vid_2E5B&Pid_0017"},
                           stager::DriverKeySpec{"USB Printing Support", "usbprint.inf"}});
  stager::DeviceNodeSpec printer = stager::ModelPrinterNodes("oem12.inf")[0];
  printer.driver.reset();
  i.deviceNodes.push_back(printer);
}};

const char kMonitorKeyFound[] =
    "language monitor key SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVL Language Monitor QTM820wide";

// Each is found by a look-up of its own: the recorded INF has no oem name, which the oem scan
// would find first, and the USB nodes are not of the printer class, whose keys would be found.
const Row kLeftovers[] = {
    {"DataDirectory", [](Installation& i) { i.dataDirectory = {{"settings.ini", false, FILE_ATTRIBUTE_READONLY}}; },
     {"data directory C:\\windows\\system32\\spool\\drivers\\w32x86\\karveloqtm_820wide6ea0"}},
    {"DriverFile", [](Installation& i) { i.files = {{Folder::PrinterDriver, "3\\QTM820wE.gpd"}}; },
     {"driver file C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\QTM820wE.gpd"}},
    {"LanguageMonitorFile", [](Installation& i) { i.files = {{Folder::System, "MON820w.DLL"}}; },
     {"driver file C:\\windows\\system32\\MON820w.DLL"}},
    {"PrintProcessorFile", [](Installation& i) { i.files = {{Folder::PrintProcessor, "PRO820w.dll"}}; },
     {"driver file C:\\windows\\system32\\spool\\prtprocs\\w32x86\\PRO820w.dll"}},
    {"LanguageMonitorKey", [](Installation& i) { i.monitorKey = true; }, {kMonitorKeyFound}},
    {"RecordedInf",
     [](Installation& i) {
       i.uninstallKey = true;
       i.uninstallInfFile = InInfDirectory("qtm820w.inf");
       i.infFiles = {{"qtm820w.inf"}};
     },
     {"recorded INF C:\\windows\\inf\\qtm820w.inf", std::string("Uninstall key ") + UNINSTALL_KEY}},
    {"OemInf", [](Installation& i) { i.infFiles = {{"oem3.inf"}}; }, {"oem INF C:\\windows\\inf\\oem3.inf"}},
    {"OemInfInUtf16", [](Installation& i) { i.infFiles = {{"oem4.inf", true, true, true}}; },
     {"oem INF C:\\windows\\inf\\oem4.inf"}},
    {"FamilyOemInfWithoutTheSiblingsDriver", [](Installation& i) { i.infFiles = {FamilyInf("oem8.inf")}; },
     {"oem INF C:\\windows\\inf\\oem8.inf"}},
    {"PrinterClassKey", [](Installation& i) { i.driverClassKeys = {{"0005", DRIVER_NAME, std::string("oem12.inf")}}; },
     {"printer class key SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}\\0005"}},
    {"UsbprintKeyWithoutNodes", [](Installation& i) { i.deviceKeys.push_back(BareKey(stager::ModelEnumerationKeys()[0])); },
     {std::string("enumeration key ") + USBPRINT_ENUM_KEY}},
    {"LptenumKeyWithoutNodes", [](Installation& i) { i.deviceKeys.push_back(BareKey(stager::ModelEnumerationKeys()[1])); },
     {std::string("enumeration key ") + LPTENUM_ENUM_KEY}},
    // The node's driver key is a printer class key of the model's driver, found by that look-up too.
    {"PrinterNodeOnTheModelsDriver", [](Installation& i) { i.deviceNodes.push_back(stager::ModelPrinterNodes("oem12.inf")[0]); },
     {"device node USBPRINT\\KARVELOQTM-820WIDE\\7&2A1B3C4D&0&USB001 on the model's driver",
      "printer class key SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}\\0000"}},
    kUsbNodeInLowerCase,
    {"UsbInterfaceNodeOnTheModelsDriver",
     [](Installation& i) {
       i.deviceNodes.push_back(UsbNodeOnTheModelsDriver("USB\\VID_2E5B&PID_0017&MI_01\\7&1F2E3D4C&0&0001",
                                                        {"USB\\Vid_2E5B&Pid_0017&Rev_0100&MI_01", "USB\\Vid_2E5B&Pid_0017&MI_01"}));
     },
     {"device node USB\\VID_2E5B&PID_0017&MI_01\\7&1F2E3D4C&0&0001 on the model's driver"}},
};

// Each beside the Uninstall key.
const Row kNearMisses[] = {
    {"AnotherModelsDataDirectory",
     [](Installation& i) { i.files = {{Folder::PrinterDriver, "karveloqtm_820narrow6ea0\\settings.ini"}}; }},
    {"AFileNamedLikeTheDataDirectory", [](Installation& i) { i.files = {{Folder::PrinterDriver, DRIVER_DIR_NAME}}; }},
    {"DriverFilesOfAnotherLetterOrFolder", [](Installation& i) { i.files = stager::DriverFileDecoys(); }},
    {"InfsTheOemScanLeaves",
     [](Installation& i) { i.infFiles = {{"oem5.inf", false}, {"OEM6.inf"}, {"karvelo.inf"}}; }},
    {"ARecordedInfOfAnotherModel",
     [](Installation& i) {
       i.uninstallInfFile = InInfDirectory("oem5.inf");
       i.infFiles = {{"oem5.inf", false}};
     }},
    kFamilyInfOfAnInstalledSibling,
    {"ASiblingsPrinterNodeAndEnumerationKey",
     [](Installation& i) {
       i.deviceNodes.push_back(stager::SiblingPrinterNode("oem5.inf"));
       i.deviceKeys.push_back({"SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KARVELOQTM-820narrow"});
     }},
    {"ClassKeysNamingTheModelInexactly",
     [](Installation& i) {
       i.driverClassKeys = {{"0003", "KARVELO QTM-820WIDE", std::string("oem5.inf")},
                            {"0004", "KARVELO QTM-820wide (copy)", std::string("oem5.inf")}};
     }},
    {"UsbNodesOfOtherIds",
     [](Installation& i) {
       i.deviceNodes.push_back({"USB\\VID_2E5B&PID_0018\\KQ0004", {"USB\\Vid_2E5B&Pid_0018&Rev_0100"}});
       i.deviceNodes.push_back(
           {"USB\\VID_1A86&PID_7584\\5&2F1D&0&2", {"USB\\Vid_1A86&Pid_7584", "USB\\Vid_2E5B&Pid_0017"}});
     }},
    // The node removal cannot tell these for the model's: one without hardware IDs, one whose list
    // is longer than it reads.
    {"UsbNodesOfTheModelsIdsTheRemovalPassesOver",
     [](Installation& i) {
       i.deviceNodes.push_back({"USB\\VID_2E5B&PID_0017\\KQ0000A", {}});
       i.deviceNodes.push_back({"USB\\VID_2E5B&PID_0017\\KQ0000B",
                                {"USB\\Vid_2E5B&Pid_0017&Rev_0100&MI_00", "USB\\Vid_2E5B&Pid_0017&Rev_0100",
                                 "USB\\Vid_2E5B&Pid_0017&MI_00", "USB\\Vid_2E5B&Pid_0017"}});
     }},
    kPluggedInPrintersNodes,
    // Wine's spooler never deletes the processor's registration: it stays after every removal there.
    {"ThePrintProcessorsRegistrationWithoutItsFile", [](Installation& i) { i.processorKey = true; }},
};

class Leftover : public WholeUninstall, public ::testing::WithParamInterface<Row> {
 protected:
  // The row's leftover beside the other products; everything of it is expected to go.
  void StageTheRowAlone() {
    machine_ = OtherProducts();
    GetParam().lay(machine_);
    for (const stager::InfFileSpec& inf : machine_.infFiles) {
      expected_.removed.push_back(InInfDirectory(inf.name));
      expected_.removed.push_back(InInfDirectory(inf.name.substr(0, inf.name.size() - 3) + "PNF"));
    }
    for (const stager::DriverClassKeySpec& key : machine_.driverClassKeys) {
      expected_.removed.push_back(MachineKey(std::string(stager::kPrinterClassKey) + "\\" + key.subkey));
    }
    StageMachine();
    // A node goes with its driver key and, the last of its device, with the device's key.
    for (const stager::DeviceNodeSpec& node : machine_.deviceNodes) {
      if (!node.driver) continue;
      expected_.removed.push_back(DeviceNodeKey(node.instanceId.substr(0, node.instanceId.rfind('\\'))));
      if (const std::optional<std::string> driverKey = stager::DeviceDriverKey(node.instanceId)) {
        expected_.removed.push_back(MachineKey(*driverKey));
      }
    }
  }
};

TEST_P(Leftover, AloneRunsTheDriverRemovalPhaseWhichTakesIt) {
  StageTheRowAlone();

  RunAndCheck();
}

INSTANTIATE_TEST_SUITE_P(OfEachKind, Leftover, ::testing::ValuesIn(kLeftovers), RowName);

// Unseen, as a deployment tool runs it: the tool learns that Windows is to restart. The whole
// package left (below) shows it for every kind at once; a node whose hardware ID comes in lower
// case, alone, for the look-up's compare of hardware IDs.
class UnseenLeftover : public Leftover {};

TEST_P(UnseenLeftover, AloneGoesAndTheToolLearnsToRestart) {
  StageTheRowAlone();

  (void)RunUnseenAndCheck(ERROR_SUCCESS_REBOOT_REQUIRED);
}

INSTANTIATE_TEST_SUITE_P(OfOneKind, UnseenLeftover, ::testing::Values(kUsbNodeInLowerCase), RowName);

class NearMiss : public WholeUninstall, public ::testing::WithParamInterface<Row> {};

TEST_P(NearMiss, IsNoLeftoverTheUninstallIsReportedCompleteAndOnlyTheUninstallKeyGoes) {
  machine_ = OtherProducts();
  machine_.uninstallKey = true;
  GetParam().lay(machine_);
  StageMachine();
  const MachineState before = ObserveMachine();

  const UninstallRun run = UninstallEverythingListed();

  ASSERT_EQ(run.record.messageBoxes.size(), 1u);
  EXPECT_EQ(run.record.messageBoxes[0].box.text, "QTM-820wide Driver is not exist.\nUnistall aleady completed.");
  EXPECT_TRUE(run.record.statuses.empty());
  EXPECT_EQ(run.record.exitCode, std::optional<DWORD>(0));
  const Expectation onlyTheUninstallKey{{MachineKey(UNINSTALL_KEY)}, {}, {}, {}};
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), onlyTheUninstallKey);

  // Unseen, as a deployment tool runs it, the same: nothing of the model is left.
  const WatchedRun quiet = RunUninstallerWatched(std::string("/quiet /log ") + kRunLog);
  EXPECT_FALSE(quiet.windowShown);
  EXPECT_EQ(quiet.exitCode, std::optional<DWORD>(ERROR_SUCCESS));
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), onlyTheUninstallKey);
}

INSTANTIATE_TEST_SUITE_P(OfEachKind, NearMiss, ::testing::ValuesIn(kNearMisses), RowName);

using LeftoverPackage = WholeUninstall;

TEST_F(LeftoverPackage, WithoutPrintersAndDriverGoesWholeAfterTheRestartQuestionAndTheLookAlikesStay) {
  machine_ = stager::WithoutModelPrintersAndDriver(StandardMachine());
  StageMachine();
  ASSERT_FALSE(ModelDriverInstalled());

  RunAndCheck();
}

// Unseen, as a deployment tool runs it, the same decision: the package goes, the log says what was
// found, and the tool learns that Windows is to restart.
TEST_F(LeftoverPackage, UnseenGoesWholeAndTellsTheToolToRestart) {
  machine_ = stager::WithoutModelPrintersAndDriver(StandardMachine());
  StageMachine();
  const MachineState before = ObserveMachine();

  const WatchedRun run = RunUninstallerWatched(std::string("/quiet /log ") + kRunLog);

  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(ERROR_SUCCESS_REBOOT_REQUIRED));
  const std::vector<std::string> log = LastRunOfLog(kRunLog);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front().rfind("No printer and no driver of the model; left of its package: ", 0), 0u) << log.front();
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), expected_);
}

// A sibling of the model installed from the family INF that lists both, which the package's
// records name as well: the model goes whole, the INF stays, and each way of finding it says why.
using FamilyInfOfAnInstalledSibling = WholeUninstall;

TEST_F(FamilyInfOfAnInstalledSibling, StaysWhenTheModelGoesWholeAndTheLogSaysWhy) {
  machine_.drivers.push_back(stager::OtherDriver(stager::kSiblingDriverName));
  machine_.infFiles.push_back(FamilyInf("oem9.inf"));
  machine_.uninstallInfFile = InInfDirectory("oem9.inf");
  machine_.driverClassKeys.push_back({"0009", DRIVER_NAME, std::string("oem9.inf")});
  expected_.removed.push_back(MachineKey(std::string(stager::kPrinterClassKey) + "\\0009"));
  StageMachine();

  RunAndCheck();

  const std::string kept = "; kept oem9.inf: the installed driver \"KARVELO QTM-820narrow\" comes from it";
  std::vector<std::string> keptBy;
  for (const std::string& line : LastRunOfLog(kRunLog)) {
    if (line.size() > kept.size() && line.compare(line.size() - kept.size(), kept.size(), kept) == 0) {
      keptBy.push_back(line.substr(0, line.find(':')));
    }
  }
  EXPECT_EQ(keptBy, (std::vector<std::string>{"Delete the INF file recorded in the Uninstall key",
                                              "Delete the INF files named by the printer class keys",
                                              "Delete the oem INF files that list the model"}));
}

// A till as a fleet's tools ask it, before a run and after one: the check names what a run would
// take, as the run's second look would name it left, and changes nothing at all, whatever it is
// told and wherever it runs.
struct Till {
  std::string name;
  Installation machine;
  enum class First { Nothing, SilentRun, SilentRunOverASealedMonitorKey } first = First::Nothing;
  const char* arguments = "/check /quiet";
  bool unseen = false;
  DWORD exitCode = 0;
  // Named among what it finds, and how many things it finds.
  std::vector<std::string> named;
  size_t found = 0;
};

std::string TillName(const ::testing::TestParamInfo<Till>& till) { return till.param.name; }
void PrintTo(const Till& till, std::ostream* out) { *out << till.name; }

Installation Laid(const Row& row) {
  Installation machine = OtherProducts();
  row.lay(machine);
  return machine;
}

constexpr size_t kFoundOfTheStandardMachine = 28;

std::vector<Till> Tills() {
  const std::vector<std::string> printer = {"printer \"Front Desk (Bar 2)\""};
  std::vector<Till> tills = {
      {"TheSampleInstallation", StandardMachine(), Till::First::Nothing, "/check /quiet", false, 1, printer,
       kFoundOfTheStandardMachine},
      {"NothingOfTheModel", OtherProducts()},
      {"TheSiblingAloneFromTheFamilyInf", Laid(kFamilyInfOfAnInstalledSibling)},
      {"ACabledPrintersRecreatedNodes", Laid(kPluggedInPrintersNodes)},
      {"TheSampleAfterACompleteSilentRun", StandardMachine(), Till::First::SilentRun},
      {"AKeyThatCannotBeDeletedAfterASilentRun", StandardMachine(), Till::First::SilentRunOverASealedMonitorKey,
       "/check /quiet", false, 1, {kMonitorKeyFound}, 1},
      {"WithAnUnknownSwitch", StandardMachine(), Till::First::Nothing, "/check /quiet /bogus", false,
       ERROR_INVALID_COMMAND_LINE},
      {"UnseenWithoutQuiet", StandardMachine(), Till::First::Nothing, "/check", true, 1, printer,
       kFoundOfTheStandardMachine},
      {"UnseenAndQuiet", StandardMachine(), Till::First::Nothing, "-CHECK /Quiet", true, 1, printer,
       kFoundOfTheStandardMachine},
  };
  for (const Row& row : kLeftovers) {
    tills.push_back({row.name, Laid(row), Till::First::Nothing, "/check /quiet", false, 1, row.named, row.named.size()});
  }
  return tills;
}

class CheckedTill : public WholeUninstall, public ::testing::WithParamInterface<Till> {};

TEST_P(CheckedTill, TellsWhatOfTheModelIsThereAsTheSecondLookWouldAndChangesNothing) {
  const Till& till = GetParam();
  machine_ = till.machine;
  StageMachine();
  // The second look names the spooler's service as well, which a run stops and starts itself.
  std::vector<std::string> secondLook = WhatRemains(PlanForEverything());
  secondLook.erase(std::remove(secondLook.begin(), secondLook.end(), "the print spooler, whose service is not running"),
                   secondLook.end());
  if (till.first != Till::First::Nothing) {
    if (till.first == Till::First::SilentRunOverASealedMonitorKey) {
      std::string error;
      ASSERT_TRUE(stager::LockKey(stager::kMonitorKey, stager::KeyLock::Sealed, error)) << error;
    }
    const WatchedRun run = RunUninstallerWatched(std::string("/quiet /log ") + kRunLog);
    ASSERT_TRUE(run.exitCode.has_value());
    secondLook = LeftOnTheMachineInLog(kRunLog);
  }
  const Snapshot before = TakeSnapshot();

  const WatchedRun check = RunUninstallerWatched(till.arguments, 180000, till.unseen);

  EXPECT_FALSE(check.windowShown);
  EXPECT_EQ(check.exitCode, std::optional<DWORD>(till.exitCode));
  std::vector<std::string> found;
  for (const std::string& line : LinesOf(check.output)) {
    if (line.rfind("Found on the machine: ", 0) == 0) found.push_back(line.substr(22));
  }
  for (const std::string& thing : till.named) {
    EXPECT_NE(std::find(found.begin(), found.end(), thing), found.end()) << "not named: " << thing << "\n" << check.output;
  }
  EXPECT_EQ(found.size(), till.found) << check.output;
  if (till.exitCode == 0 || till.exitCode == 1) EXPECT_EQ(found, secondLook) << "the check and the second look disagree";
  const std::vector<std::string> lines = LinesOf(check.output);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("Exit code " + std::to_string(till.exitCode) + ": ", 0), 0u) << lines.back();
  ExpectNothingChanged(before, TakeSnapshot());
}

INSTANTIATE_TEST_SUITE_P(OfEachKind, CheckedTill, ::testing::ValuesIn(Tills()), TillName);

}  // namespace
}  // namespace fault_matrix

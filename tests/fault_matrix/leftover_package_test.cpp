// What is left of the package once its printers and its driver are gone (deleted by hand, by
// another tool, or in a run ended half-way): any one kind of leftover brings the whole driver
// removal phase, which takes it; a look-alike of any kind does not, and the program then says
// that the uninstall is complete, as when nothing is there at all.

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>

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

// One kind of artefact, laid beside the other products alone.
struct Row {
  const char* name;
  void (*lay)(Installation&);
};

std::string RowName(const ::testing::TestParamInfo<Row>& row) { return row.param.name; }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

std::string InInfDirectory(const std::string& name) { return stager::FolderPath(Folder::Inf) + "\\" + name; }

// Each is found by a look-up of its own: the recorded INF has no oem name, which the oem scan
// would find first, and the enumeration keys hold no printer node, whose class key would be found.
const Row kLeftovers[] = {
    {"DataDirectory", [](Installation& i) { i.dataDirectory = {{"settings.ini", false, FILE_ATTRIBUTE_READONLY}}; }},
    {"DriverFile", [](Installation& i) { i.files = {{Folder::PrinterDriver, "3\\QTM820wE.gpd"}}; }},
    {"LanguageMonitorFile", [](Installation& i) { i.files = {{Folder::System, "MON820w.DLL"}}; }},
    {"PrintProcessorFile", [](Installation& i) { i.files = {{Folder::PrintProcessor, "PRO820w.dll"}}; }},
    {"LanguageMonitorKey", [](Installation& i) { i.monitorKey = true; }},
    {"RecordedInf",
     [](Installation& i) {
       i.uninstallKey = true;
       i.uninstallInfFile = InInfDirectory("qtm820w.inf");
       i.infFiles = {{"qtm820w.inf"}};
     }},
    {"OemInf", [](Installation& i) { i.infFiles = {{"oem3.inf"}}; }},
    {"OemInfInUtf16", [](Installation& i) { i.infFiles = {{"oem4.inf", true, true, true}}; }},
    {"PrinterClassKey", [](Installation& i) { i.driverClassKeys = {{"0005", DRIVER_NAME, std::string("oem12.inf")}}; }},
    {"UsbprintKey", [](Installation& i) { i.deviceKeys.push_back(stager::ModelEnumerationKeys()[0]); }},
    {"LptenumKey", [](Installation& i) { i.deviceKeys.push_back(stager::ModelEnumerationKeys()[1]); }},
    {"UsbNode",
     [](Installation& i) {
       i.deviceNodes.push_back({"USB\\VID_2E5B&PID_0017\\KQ0001", {"USB\\Vid_2E5B&Pid_0017&Rev_0100"}});
     }},
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
    // Wine's spooler never deletes the processor's registration: it stays after every removal there.
    {"ThePrintProcessorsRegistrationWithoutItsFile", [](Installation& i) { i.processorKey = true; }},
};

class Leftover : public WholeUninstall, public ::testing::WithParamInterface<Row> {};

TEST_P(Leftover, AloneRunsTheDriverRemovalPhaseWhichTakesIt) {
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

  RunAndCheck();
}

INSTANTIATE_TEST_SUITE_P(OfEachKind, Leftover, ::testing::ValuesIn(kLeftovers), RowName);

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
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), Expectation{{MachineKey(UNINSTALL_KEY)}, {}, {}, {}});
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

}  // namespace
}  // namespace fault_matrix

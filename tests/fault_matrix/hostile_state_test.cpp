// Hostile state the uninstaller meets on a real machine: printer names as long as the spooler
// takes them or outside the ANSI code page, INF files that are empty, binary or huge, a data
// directory twenty levels deep with ten thousand files, and paths at the platform's length limit.
// Each time the uninstall runs to its end and nothing but the model's artefacts goes.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tests/e2e_support.h"
#include "tests/fault_matrix/whole_uninstall.h"
#include "tests/removal_test_support.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"

namespace fault_matrix {
namespace {

using removal_test::PendingDeletions;
using HostileState = WholeUninstall;

std::string NameOfLength(const std::string& head, size_t length) { return head + std::string(length - head.size(), 'x'); }

// ---- Printer names ----

// The spooler takes names of up to 256 characters (it refuses longer ones with 87), but cannot
// list printers again once one has 255 or more; the longest name that still works in full is 254
// characters, far past what a 256-byte settings-key buffer would hold. Wine's ANSI registry calls
// take key paths of at most about 260 characters (they pass through a fixed per-thread buffer), so
// settings keys are staged for the names whose key paths stay within that.
TEST_F(HostileState, PrinterNamesAsLongAsTheSpoolerListsGoWithTheirSettingsKeys) {
  const std::vector<std::string> longNames = {NameOfLength("Till 226 ", 226), NameOfLength("Till 230 ", 230),
                                              NameOfLength("Till 254 ", 254)};
  for (const std::string& name : longNames) machine_.printers.push_back({name, DRIVER_NAME, false});
  StageMachine();
  for (const std::string& name : {longNames[0], longNames[1]}) {
    std::string keyName = name;
    std::replace(keyName.begin(), keyName.end(), ' ', '_');
    ASSERT_TRUE(stager::WriteRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\KARVELO_POS_PRINTER\\" + keyName,
                                            "PrinterName", name));
  }
  std::string refused;
  ASSERT_FALSE(stager::StagePrinter({NameOfLength("Till 300 ", 300), DRIVER_NAME, false}, refused));
  for (const std::string& name : longNames) {
    const std::vector<std::string> artefacts = PrinterArtefacts(name);
    expected_.removed.insert(expected_.removed.end(), artefacts.begin(), artefacts.end());
  }

  const UninstallRun run = RunAndCheck();

  EXPECT_EQ(run.listedPrinters.size(), StandardModelPrinters().size() + longNames.size());
}

TEST_F(HostileState, APrinterNameTooLongForTheSpoolersListIsReportedAndNothingIsTouched) {
  machine_.printers.push_back({NameOfLength("Till 255 ", 255), DRIVER_NAME, false});
  StageMachine();
  const MachineState before = ObserveMachine();

  const UninstallRun run = UninstallEverythingListed();

  ASSERT_EQ(run.record.messageBoxes.size(), 1u);
  EXPECT_EQ(run.record.messageBoxes[0].box.text.rfind("EnumPrinters Error Code: ", 0), 0u)
      << run.record.messageBoxes[0].box.text;
  EXPECT_EQ(run.record.exitCode, std::optional<DWORD>(0));
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), Expectation{});
}

// Printers of the model named in letters the ANSI code page lacks ("Касса 1") or spells only by a
// look-alike ("Ākasse"), beside printers of another driver that bear exactly those spellings. The
// model's are not listed, since no ANSI name reaches them, and no other printer is taken for them;
// as they cannot be ticked, the driver they use stays.
TEST_F(HostileState, PrinterNamesTheAnsiCodePageCannotSpellAreNotListedNorTakenForOthers) {
  machine_.printers.push_back({"????? 1", "Generic Thermal 58", false});
  machine_.printers.push_back({"Akasse", "Generic Thermal 58", false});
  StageMachine();
  StagePrinterNamedInUnicode(L"\x041A\x0430\x0441\x0441\x0430 1", L"KARVELO QTM-820wide");
  StagePrinterNamedInUnicode(L"\x0100kasse", L"KARVELO QTM-820wide");
  expected_.removed.clear();
  expected_.kept.clear();
  for (const std::string& name : StandardModelPrinters()) {
    const std::vector<std::string> artefacts = PrinterArtefacts(name);
    expected_.removed.insert(expected_.removed.end(), artefacts.begin(), artefacts.end());
  }

  const UninstallRun run = RunAndCheck(Ending::PrintersOnly);

  std::vector<std::string> listed = run.listedPrinters, standard = StandardModelPrinters();
  std::sort(listed.begin(), listed.end());
  std::sort(standard.begin(), standard.end());
  EXPECT_EQ(listed, standard);
  EXPECT_TRUE(ModelDriverInstalled());

  // Unseen, a deployment tool learns that the product is still there.
  const WatchedRun quiet = RunUninstallerWatched(std::string("/quiet /log ") + kRunLog);
  EXPECT_EQ(quiet.exitCode, std::optional<DWORD>(ERROR_INSTALL_FAILURE));
  EXPECT_TRUE(ModelDriverInstalled());
}

// ---- INF files ----

std::string InfLines(size_t bytes, bool listsModel) {
  std::string text = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n\r\n[Strings]\r\n";
  for (size_t line = 0; text.size() < bytes; ++line) text += "Filler" + std::to_string(line) + "=\"padding text\"\r\n";
  text += "\r\n[KARVELO]\r\n";
  text += listsModel ? "\"KARVELO QTM-820wide\" = QTM820WE.GPD\r\n" : "\"KARVELO QTM-820narrow\" = QTM820NE.GPD\r\n";
  return text;
}

std::string Garbage(size_t bytes) {
  std::string data(bytes, '\0');
  unsigned state = 12345;
  for (char& c : data) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return data;
}

// Only what an INF says decides whether the oem scan takes it for the model's; one named by the
// model's driver class key goes by its name, whatever it holds, and the key goes too.
TEST_F(HostileState, InfFilesThatAreEmptyBinaryOrHugeAreJudgedByWhatTheySay) {
  constexpr size_t kHuge = 16 * 1024 * 1024;
  struct Inf {
    std::string name;
    std::string content;
    bool deleted;
  };
  const std::vector<Inf> infs = {
      {"oem30.inf", "", false},
      {"oem31.inf", Garbage(64 * 1024), false},
      {"oem32.inf", InfLines(kHuge, true), true},
      {"oem33.inf", InfLines(kHuge, false), false},
      {"oem34.inf", Garbage(64 * 1024), true},
  };
  StageMachine();
  std::string error;
  ASSERT_TRUE(stager::StageDriverClassKey({"0010", DRIVER_NAME, std::string("oem34.inf")}, error)) << error;
  expected_.removed.push_back(MachineKey(std::string(stager::kPrinterClassKey) + "\\0010"));
  for (const Inf& inf : infs) {
    const std::string stem = inf.name.substr(0, inf.name.size() - 4);
    ASSERT_TRUE(stager::WriteFileText(FilePath(stager::Folder::Inf, inf.name), inf.content));
    ASSERT_TRUE(stager::WriteFileText(FilePath(stager::Folder::Inf, stem + ".PNF"), "PNF"));
    if (!inf.deleted) continue;
    expected_.removed.push_back(FilePath(stager::Folder::Inf, inf.name));
    expected_.removed.push_back(FilePath(stager::Folder::Inf, stem + ".PNF"));
  }

  RunAndCheck();
}

// ---- The data directory ----

// Code page 1252 letters beyond ASCII, the euro sign among them (0x80).
const char kAnsiLetters[] = "Gr\xFC\xDF" "e \x80 \xD1" "and\xFA \x9Cuvre \xC6r\xF8 \xFF";

TEST_F(HostileState, ADataTreeTwentyLevelsDeepWithTenThousandFilesGoesWhole) {
  ASSERT_EQ(::GetACP(), 1252u) << "the names below are spelled in code page 1252";
  std::vector<stager::TreeEntrySpec> tree;
  std::string level;
  for (int depth = 1; depth <= 20; ++depth) {
    level += (depth > 1 ? "\\" : "") + std::string(depth % 2 ? "d" : "\xE9") + std::to_string(depth);
    const DWORD attributes = depth % 5 == 0 ? FILE_ATTRIBUTE_READONLY : depth % 7 == 0 ? FILE_ATTRIBUTE_HIDDEN : 0;
    tree.push_back({level, true, attributes});
  }
  // Ten thousand files: most in wide folders, the rest down the deep chain.
  std::string chain;
  for (int file = 0; tree.size() < 10000 + 20 + 50; ++file) {
    if (file % 200 == 0) tree.push_back({"wide " + std::to_string(file / 200), true, 0});
    const DWORD attributes = file % 3 == 0   ? FILE_ATTRIBUTE_READONLY
                             : file % 3 == 1 ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                                             : 0;
    tree.push_back({"wide " + std::to_string(file / 200) + "\\" + kAnsiLetters + " " + std::to_string(file) + ".dat",
                    false, attributes});
  }
  size_t files = 0;
  for (const stager::TreeEntrySpec& entry : tree) files += entry.directory ? 0 : 1;
  std::string deep;
  for (int depth = 1; depth <= 20; ++depth) {
    deep += (depth > 1 ? "\\" : "") + std::string(depth % 2 ? "d" : "\xE9") + std::to_string(depth);
    tree.push_back({deep + "\\" + kAnsiLetters + ".txt", false, depth % 4 == 0 ? FILE_ATTRIBUTE_READONLY : 0u});
    ++files;
  }
  ASSERT_GE(files, 10000u);
  machine_.dataDirectory = tree;
  StageMachine();

  RunAndCheck();
}

// The longest paths a program may name in ANSI: a folder of 247 characters (room for a file name
// of 8.3 form below it) and files of 259. A file made deeper still, through the platform's long-path
// form, is beyond what any ANSI call reaches: it stays, with the folders above it, and nothing is
// scheduled for it; the data directory is left, and the run says so.
TEST_F(HostileState, PathsAtTheLengthLimitGoAndOneBeyondItStaysWithItsFoldersOnly) {
  const std::string data = stager::DataDirectoryPath();
  const std::string folder = NameOfLength("long folder ", 247 - data.size() - 1);
  const std::string file = NameOfLength("long file ", MAX_PATH - 1 - data.size() - 1);
  const std::string fileInFolder = folder + "\\" + NameOfLength("f", MAX_PATH - 1 - (data + "\\" + folder).size() - 1);
  ASSERT_EQ((data + "\\" + folder).size(), 247u);
  ASSERT_EQ((data + "\\" + file).size(), static_cast<size_t>(MAX_PATH - 1));
  ASSERT_EQ((data + "\\" + fileInFolder).size(), static_cast<size_t>(MAX_PATH - 1));
  machine_.dataDirectory = {{folder, true, FILE_ATTRIBUTE_READONLY},
                            {file, false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
                            {fileInFolder, false, FILE_ATTRIBUTE_READONLY},
                            {"beyond", true, 0},
                            {"beyond\\sibling.txt", false, 0}};
  StageMachine();
  const std::string beyondFolder = data + "\\beyond\\" + std::string(200, 'b');
  const std::string beyondFile = beyondFolder + "\\" + std::string(100, 'c') + ".txt";
  const std::wstring longForm = L"\\\\?\\" + std::wstring(beyondFile.begin(), beyondFile.end());
  ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + std::wstring(beyondFolder.begin(), beyondFolder.end())).c_str(), nullptr));
  const HANDLE created = ::CreateFileW(longForm.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  ::CloseHandle(created);
  expected_.keptEntries = {beyondFile, beyondFolder, data + "\\beyond", data};
  expected_.failedSteps = {"Delete the data directory of the driver"};
  expected_.remaining = {"data directory " + data};

  RunAndCheck();

  EXPECT_TRUE(PendingDeletions().empty());
}

}  // namespace
}  // namespace fault_matrix

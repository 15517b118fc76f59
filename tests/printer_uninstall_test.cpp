// The printers a user sees and removes: the scan's list, the ticked printers and their settings
// keys going, everything else staying, and the paths the program takes alone. Each case runs the
// real uninstaller in a fresh prefix, worked by the robot.

#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <string>
#include <algorithm>
#include <set>
#include <vector>

#include "identity/target_identity.h"
#include "res/resource.h"
#include "tests/e2e_support.h"
#include "tools/robot/uninstall_session.h"
#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"
#include "win/system_message.h"

namespace {

using robot::RunRecord;
using robot::UninstallSession;
using stager::Installation;
using Names = std::set<std::string>;

constexpr DWORD kStartTimeoutMs = 120000;
constexpr DWORD kRunTimeoutMs = 180000;
constexpr char kOtherDriver[] = "Generic Thermal 58";

Installation ModelPrinters(const std::vector<std::string>& names) {
  Installation installation;
  installation.drivers = {stager::ModelDriver(), stager::OtherDriver(kOtherDriver)};
  for (const std::string& name : names) installation.printers.push_back({name, DRIVER_NAME, true});
  installation.printers.push_back({"Office Label Printer", kOtherDriver, false});
  installation.uninstallKey = true;
  return installation;
}

class PrinterUninstall : public ::testing::Test {
 protected:
  // Starts the uninstaller and waits for its scan.
  void StartAndScan() {
    ASSERT_TRUE(session_.Start(UninstallerCommandLine(), kStartTimeoutMs));
    ASSERT_TRUE(session_.WaitForScan(kStartTimeoutMs));
  }
  std::vector<std::string> ListedLines() {
    if (session_.Dialog() == nullptr) return {};
    return session_.Dialog()->ListLines(IDC_PRINTER_LIST).value_or(std::vector<std::string>{});
  }
  // Ticks the lines, presses Uninstall and follows the program to its end, saying No to questions.
  RunRecord UninstallTicked(const std::vector<std::string>& lines) {
    EXPECT_TRUE(session_.Tick(lines));
    EXPECT_TRUE(robot::WaitUntil([&] { return session_.Dialog()->PressButton(IDC_UNINSTALL); }, 5000));
    return session_.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);
  }

  UninstallSession session_;
};

TEST_F(PrinterUninstall, ScanListsExactlyTheModelsPrintersUntickedAndSorted) {
  Installation installation = ModelPrinters({"Zeta Till", "alpha Bar", "Mid Counter"});
  // The spooler takes a driver name in any letter case; the program looks for the exact one.
  installation.printers.push_back({"Case Twin", "KARVELO QTM-820WIDE", false});
  ASSERT_TRUE(StageForTest(installation));
  ASSERT_TRUE(InstalledPrinterNames().count("Case Twin"));

  StartAndScan();
  EXPECT_EQ(ListedLines(), (std::vector<std::string>{"alpha Bar", "Mid Counter", "Zeta Till"}));
  for (int index = 0; index < 3; ++index) {
    EXPECT_EQ(session_.Dialog()->IsLineChecked(IDC_PRINTER_LIST, index), std::optional<bool>(false));
  }
  EXPECT_FALSE(session_.Dialog()->IsEnabled(IDC_UNINSTALL));
  EXPECT_TRUE(session_.Dialog()->IsEnabled(IDCANCEL));
  EXPECT_TRUE(session_.Program().IsRunning()) << "the dialog waits for the user";
}

TEST_F(PrinterUninstall, SettingsKeysAreTheNamesWithEverySpaceAnUnderscore) {
  struct Case {
    const char* printer;
    const char* key;
  };
  const Case cases[] = {
      {"Front Desk (Bar 2)", "Front_Desk_(Bar_2)"},
      {"Kitchen  Receipts-1", "Kitchen__Receipts-1"},
      {"Lane 3 - Till 12", "Lane_3_-_Till_12"},
      {" MixedCase Edge ", "_MixedCase_Edge_"},
  };
  std::vector<std::string> ticked;
  for (const Case& c : cases) ticked.push_back(c.printer);
  std::vector<std::string> all = ticked;
  all.push_back("Keeper");
  ASSERT_TRUE(StageForTest(ModelPrinters(all)));
  for (const Case& c : cases) ASSERT_TRUE(SettingsKeyExists(c.key)) << c.key;

  StartAndScan();
  const RunRecord record = UninstallTicked(ticked);
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));

  for (const Case& c : cases) {
    EXPECT_FALSE(InstalledPrinterNames().count(c.printer)) << c.printer;
    EXPECT_FALSE(SettingsKeyExists(c.key)) << c.key;
  }
  EXPECT_TRUE(SettingsKeyExists("Keeper"));
}

// Windows 10 1903 and later can make UTF-8 the ANSI code page, which spells every name: printers
// named in any script are listed and removed there. This case runs with LC_ALL=hi_IN.UTF-8, from
// which Wine takes UTF-8 as the ANSI code page (tests/CMakeLists.txt); the names below are UTF-8.
// A name with an unpaired surrogate is spelled by no UTF-8 name (converted regardless, it comes out
// with U+FFFD in its place, which names another printer or none): that printer is not listed, and
// the driver it uses stays.
TEST_F(PrinterUninstall, WithUtf8AsTheAnsiCodePagePrintersNamedInAnyScriptAreListedAndRemoved) {
  ASSERT_EQ(::GetACP(), static_cast<UINT>(CP_UTF8)) << "this case needs UTF-8 as the ANSI code page";
  const std::vector<std::string> names = {"Касса 1", "Ταμείο 2", "收银台 3", "Front Desk"};
  ASSERT_TRUE(StageForTest(ModelPrinters(names)));
  StagePrinterNamedInUnicode(L"Kasse \xD800", L"KARVELO QTM-820wide");

  StartAndScan();
  std::vector<std::string> listed = ListedLines();
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  ASSERT_EQ(listed, expected);
  const RunRecord record = UninstallTicked({});

  EXPECT_EQ(record.StatusTexts(), (std::vector<std::string>{"Delete printers...", "Uninstall completed!"}));
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_EQ(InstalledPrinterNames(), (Names{"Kasse \uFFFD", "Office Label Printer"}));
  for (const char* key : {"Касса_1", "Ταμείο_2", "收银台_3", "Front_Desk"}) EXPECT_FALSE(SettingsKeyExists(key)) << key;
  EXPECT_TRUE(ModelDriverInstalled());
}

TEST_F(PrinterUninstall, PrintersNamedWithSpaceOrUnderscoreShareOneKeyThatGoesWithEither) {
  ASSERT_TRUE(StageForTest(ModelPrinters({"Space Twin", "Space_Twin"})));
  ASSERT_TRUE(SettingsKeyExists("Space_Twin"));

  StartAndScan();
  const RunRecord record = UninstallTicked({"Space Twin"});
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));

  EXPECT_EQ(InstalledPrinterNames(), (Names{"Space_Twin", "Office Label Printer"}));
  EXPECT_FALSE(SettingsKeyExists("Space_Twin"));
}

TEST_F(PrinterUninstall, APrinterDeletedBehindTheProgramsBackStillLosesItsKey) {
  ASSERT_TRUE(StageForTest(ModelPrinters({"Alpha", "Bravo", "Charlie"})));
  StartAndScan();
  ASSERT_EQ(ListedLines().size(), 3u);

  char name[] = "Bravo";
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  ASSERT_TRUE(::OpenPrinterA(name, &printer, &access));
  EXPECT_TRUE(::DeletePrinter(printer));
  ::ClosePrinter(printer);

  const RunRecord record = UninstallTicked({"Alpha", "Bravo"});
  EXPECT_EQ(record.StatusTexts(), (std::vector<std::string>{"Delete printers...", "Uninstall completed!"}));
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_EQ(InstalledPrinterNames(), (Names{"Charlie", "Office Label Printer"}));
  EXPECT_FALSE(SettingsKeyExists("Alpha"));
  EXPECT_FALSE(SettingsKeyExists("Bravo"));
  EXPECT_TRUE(SettingsKeyExists("Charlie"));
}

TEST_F(PrinterUninstall, CancelAfterTheScanRemovesNothing) {
  ASSERT_TRUE(StageForTest(ModelPrinters({"Alpha", "Bravo"})));
  StartAndScan();
  ASSERT_TRUE(session_.Tick({"Alpha"}));
  ASSERT_TRUE(session_.Dialog()->PressButton(IDCANCEL));
  const RunRecord record = session_.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);

  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_TRUE(record.statuses.empty());
  EXPECT_EQ(InstalledPrinterNames(), (Names{"Alpha", "Bravo", "Office Label Printer"}));
  EXPECT_TRUE(SettingsKeyExists("Alpha"));
  EXPECT_TRUE(ModelDriverInstalled());
  EXPECT_TRUE(UninstallKeyExists());
}

TEST_F(PrinterUninstall, WithTheDriverButNoPrinterTheSequenceStartsAlone) {
  Installation installation;
  installation.drivers = {stager::ModelDriver()};
  installation.uninstallKey = true;
  ASSERT_TRUE(StageForTest(installation));

  ASSERT_TRUE(session_.Start(UninstallerCommandLine(), kStartTimeoutMs));
  ASSERT_NE(session_.Dialog(), nullptr);
  EXPECT_TRUE(robot::WaitUntil([&] { return !session_.Dialog()->IsEnabled(IDCANCEL); }, kStartTimeoutMs))
      << "Cancel is disabled before the sequence starts";
  const RunRecord record = session_.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);

  const std::vector<std::string> statuses = record.StatusTexts();
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Delete printers..."), 0);
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.back(), "Uninstall completed!");
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
}

// The Uninstall key alone, naming an INF that is gone, is no leftover of the package.
TEST_F(PrinterUninstall, WithNothingInstalledItSaysSoOnceAndDropsTheUninstallKey) {
  std::string error;
  ASSERT_TRUE(stager::StageUninstallKey("C:\\windows\\inf\\oem3.inf", error)) << error;
  ASSERT_TRUE(UninstallKeyExists());
  ASSERT_FALSE(stager::FileExists("C:\\windows\\inf\\oem3.inf"));

  ASSERT_TRUE(session_.Start(UninstallerCommandLine(), kStartTimeoutMs));
  const RunRecord record = session_.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);

  ASSERT_EQ(record.messageBoxes.size(), 1u);
  const robot::MessageBoxInfo& box = record.messageBoxes[0].box;
  EXPECT_EQ(box.caption, APP_TITLE);
  EXPECT_EQ(box.text, "QTM-820wide Driver is not exist.\nUnistall aleady completed.");
  EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});
  EXPECT_TRUE(box.hasIcon);
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_TRUE(record.statuses.empty());
  EXPECT_FALSE(UninstallKeyExists());
}

TEST_F(PrinterUninstall, AFailedPrinterEnumerationIsReportedWithTheSystemsText) {
  ASSERT_TRUE(StageForTest(ModelPrinters({"Alpha"})));
  ASSERT_TRUE(DenyEveryoneEveryRight("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers"));

  ASSERT_TRUE(session_.Start(UninstallerCommandLine(), kStartTimeoutMs));
  const RunRecord record = session_.RunToEnd(robot::AnswerQuestionsWith(IDNO), kRunTimeoutMs);

  ASSERT_EQ(record.messageBoxes.size(), 1u);
  const robot::MessageBoxInfo& box = record.messageBoxes[0].box;
  EXPECT_EQ(box.caption, APP_TITLE);
  EXPECT_TRUE(box.hasIcon);
  const std::string head = "EnumPrinters Error Code: ";
  ASSERT_EQ(box.text.compare(0, head.size(), head), 0) << box.text;
  const size_t codeEnd = box.text.find("\n\n");
  ASSERT_NE(codeEnd, std::string::npos) << box.text;
  const DWORD code = std::stoul(box.text.substr(head.size(), codeEnd - head.size()));
  EXPECT_EQ(box.text.substr(codeEnd + 2), SystemMessageText(code));
  EXPECT_FALSE(SystemMessageText(code).empty());
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_TRUE(SettingsKeyExists("Alpha"));
  EXPECT_TRUE(UninstallKeyExists());
}

}  // namespace

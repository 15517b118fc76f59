// The uninstaller's dialog as a person meets it: started for real under Wine, seen and worked
// through the robot from another process.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "identity/target_identity.h"
#include "res/resource.h"
#include "tests/e2e_support.h"
#include "tools/robot/dialog_template.h"
#include "tools/robot/uninstall_session.h"

namespace {

using robot::ControlInfo;
using robot::DialogRobot;

const std::string kUninstaller = OwnFolder() + "qtm820wide_uninstall.exe";

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  int x, y, width, height;  // dialog units
  DWORD style;              // beyond WS_CHILD | WS_VISIBLE
};

// The template's controls in tab order.
const ExpectedControl kExpectedControls[] = {
    {IDC_UNINSTALL, "Button", "Uninstall", 7, 271, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED},
    {IDCANCEL, "Button", "Cancel", 224, 271, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
    {IDC_PRINTER_LIST, "ListBox", "", 7, 7, 267, 232,
     LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
         WS_BORDER | WS_TABSTOP},
    {-1, "Static", "Progress Status :", 7, 243, 53, 9, SS_LEFT | WS_GROUP},
    {IDC_STATUS_TEXT, "Static", "", 69, 243, 115, 8, SS_LEFT | WS_GROUP},
    {IDC_PROGRESS, "msctls_progress32", "", 7, 256, 267, 11, WS_BORDER | PBS_SMOOTH},
};

TEST(DialogTemplate, IsTheUninstallDialogToTheLetter) {
  const std::optional<robot::DialogTemplate> dialog = robot::LoadDialogTemplate(kUninstaller, IDD_UNINSTALL);
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE |
                                              WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(dialog->exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
  EXPECT_EQ(dialog->width, 281);
  EXPECT_EQ(dialog->height, 292);
  EXPECT_EQ(dialog->caption, APP_TITLE);
  EXPECT_EQ(dialog->pointSize, 8);
  EXPECT_EQ(dialog->fontName, "MS Sans Serif");
  ASSERT_EQ(dialog->items.size(), std::size(kExpectedControls));
  for (size_t i = 0; i < dialog->items.size(); ++i) {
    const ExpectedControl& expected = kExpectedControls[i];
    const robot::DialogItemTemplate& item = dialog->items[i];
    SCOPED_TRACE(std::string("control ") + std::to_string(i) + " \"" + expected.text + "\"");
    EXPECT_EQ(item.id, expected.id);
    EXPECT_EQ(_stricmp(item.className.c_str(), expected.className), 0) << item.className;
    EXPECT_EQ(item.text, expected.text);
    EXPECT_EQ(item.x, expected.x);
    EXPECT_EQ(item.y, expected.y);
    EXPECT_EQ(item.width, expected.width);
    EXPECT_EQ(item.height, expected.height);
    EXPECT_EQ(item.style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | expected.style)) << std::hex << item.style;
    EXPECT_EQ(item.exStyle, 0u);
  }
}

// The dialog waits for the user only when the scan finds a printer of the model.
class DialogShell : public ::testing::Test {
 protected:
  void SetUp() override {
    stager::Installation installation;
    installation.drivers = {stager::ModelDriver()};
    installation.printers = {{"Front Desk", DRIVER_NAME, true}};
    ASSERT_TRUE(StageForTest(installation));
    ASSERT_TRUE(session_.Start(UninstallerCommandLine(), 120000));
    ASSERT_TRUE(session_.WaitForScan(120000));
    ASSERT_NE(session_.Dialog(), nullptr) << "the dialog did not appear";
    ASSERT_EQ(session_.Dialog()->ListLines(IDC_PRINTER_LIST), std::vector<std::string>{"Front Desk"});
  }
  DialogRobot& Dialog() { return *session_.Dialog(); }

  robot::UninstallSession session_;
};

TEST_F(DialogShell, AppearsWithTheProductsCaption) {
  EXPECT_EQ(Dialog().Caption(), APP_TITLE);
  EXPECT_TRUE(::GetWindowLongA(Dialog().Window(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(DialogShell, ShowsEveryControlInTabOrderWhereTheTemplatePutsIt) {
  const std::optional<robot::DialogTemplate> dialog = robot::LoadDialogTemplate(kUninstaller, IDD_UNINSTALL);
  ASSERT_TRUE(dialog.has_value());
  std::optional<robot::DialogUnits> units = robot::DialogUnits::For(*dialog);
  ASSERT_TRUE(units.has_value());
  const std::vector<ControlInfo> controls = Dialog().Controls();
  ASSERT_EQ(controls.size(), std::size(kExpectedControls));
  for (size_t i = 0; i < controls.size(); ++i) {
    const ExpectedControl& expected = kExpectedControls[i];
    const ControlInfo& actual = controls[i];
    SCOPED_TRACE(std::string("control ") + std::to_string(i) + " \"" + expected.text + "\"");
    EXPECT_EQ(actual.id, expected.id);
    EXPECT_EQ(_stricmp(actual.className.c_str(), expected.className), 0) << actual.className;
    EXPECT_EQ(actual.text, expected.text);
    // The dialog manager converts position and size separately, as MapDialogRect does each.
    const POINT position = units->ToPixels(expected.x, expected.y);
    const POINT size = units->ToPixels(expected.width, expected.height);
    EXPECT_EQ(actual.rect.left, position.x);
    EXPECT_EQ(actual.rect.top, position.y);
    EXPECT_EQ(actual.rect.right - actual.rect.left, size.x);
    EXPECT_EQ(actual.rect.bottom - actual.rect.top, size.y);
    EXPECT_EQ((actual.style & WS_TABSTOP) != 0, (expected.style & WS_TABSTOP) != 0);
  }
  RECT client;
  ASSERT_TRUE(::GetClientRect(Dialog().Window(), &client));
  const POINT size = units->ToPixels(281, 292);
  EXPECT_EQ(client.right, size.x);
  EXPECT_EQ(client.bottom, size.y);
}

TEST_F(DialogShell, UninstallIsTheDefaultButtonAndStartsDisabled) {
  EXPECT_FALSE(Dialog().IsEnabled(IDC_UNINSTALL));
  EXPECT_TRUE(Dialog().IsEnabled(IDCANCEL));
  const std::optional<LRESULT> defaultId = Dialog().Query(DM_GETDEFID);
  ASSERT_TRUE(defaultId.has_value());
  EXPECT_EQ(HIWORD(*defaultId), DC_HASDEFID);
  EXPECT_EQ(LOWORD(*defaultId), IDC_UNINSTALL);
}

TEST_F(DialogShell, ProgressBarRunsFromZeroToAHundred) {
  const std::optional<LRESULT> low = Dialog().QueryControl(IDC_PROGRESS, PBM_GETRANGE, TRUE);
  const std::optional<LRESULT> high = Dialog().QueryControl(IDC_PROGRESS, PBM_GETRANGE, FALSE);
  const std::optional<LRESULT> position = Dialog().QueryControl(IDC_PROGRESS, PBM_GETPOS);
  ASSERT_TRUE(low && high && position);
  EXPECT_EQ(*low, 0);
  EXPECT_EQ(*high, 100);
  EXPECT_EQ(*position, 0);
}

TEST_F(DialogShell, CancelEndsTheProgram) {
  ASSERT_TRUE(Dialog().PressButton(IDCANCEL));
  const std::optional<DWORD> exitCode = session_.Program().WaitForExit(10000);
  ASSERT_TRUE(exitCode.has_value()) << "the program is still running";
  EXPECT_EQ(*exitCode, 0u);
}

TEST_F(DialogShell, LeavesAScreenshotForPeopleToLookAt) {
  const char* folder = std::getenv("QTM_ARTIFACT_DIR");
  const std::string path = std::string(folder != nullptr ? folder : ".") + "\\uninstall_dialog.png";
  ASSERT_TRUE(Dialog().SaveScreenshot(path));
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_GT(data.nFileSizeLow, 1000u);
}

}  // namespace

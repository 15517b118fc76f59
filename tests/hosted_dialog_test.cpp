// The uninstall dialog hosted in this process without its scan: its check list as a user works
// it, and what it shows of itself. The robot works it from a second thread; Wine answers icon
// queries only within the owning process, so these checks live here rather than with the
// out-of-process ones.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/uninstall_dialog.h"
#include "res/resource.h"
#include "tests/hosted_dialog.h"

namespace {

using robot::DialogRobot;
using robot::WaitUntil;

// The uninstall dialog with lines of the test's choosing in place of what a scan would find; it
// counts the check-change notifications its list sends.
class DialogWithLines : public CUninstallDlg {
 public:
  explicit DialogWithLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  int Notifications() const { return notifications_; }

 protected:
  BOOL OnInitDialog() override {
    const BOOL result = CUninstallDlg::OnInitDialog();
    (void)::KillTimer(Handle(), SCAN_TIMER_ID);
    for (const std::string& line : lines_) (void)m_printerList.AddString(line);
    return result;
  }
  bool RouteCommand(int id, int notificationCode) override {
    if (id == IDC_PRINTER_LIST && notificationCode == CLBN_CHKCHANGE) ++notifications_;
    return CUninstallDlg::RouteCommand(id, notificationCode);
  }

 private:
  std::vector<std::string> lines_;
  std::atomic<int> notifications_{0};
};

bool LineChecked(const DialogRobot& robot, int index) {
  return robot.IsLineChecked(IDC_PRINTER_LIST, index).value_or(false);
}

bool WaitForCheck(const DialogRobot& robot, int index, bool checked) {
  return WaitUntil([&] { return LineChecked(robot, index) == checked; }, 3000);
}

bool WaitForUninstallEnabled(const DialogRobot& robot, bool enabled) {
  return WaitUntil([&] { return robot.IsEnabled(IDC_UNINSTALL) == enabled; }, 3000);
}

TEST(CheckList, KeepsItsLinesSortedAndReadableByOtherPrograms) {
  DialogWithLines dialog({"Charlie", "alpha", "Bravo 2"});
  RunWithRobot(dialog, [&](DialogRobot& robot) {
    const auto lines = robot.ListLines(IDC_PRINTER_LIST);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (std::vector<std::string>{"alpha", "Bravo 2", "Charlie"}));

    for (int index = 0; index < 3; ++index) EXPECT_FALSE(LineChecked(robot, index));
  });
}

TEST(CheckList, ClickInALinesBoxTogglesItAndTellsTheParent) {
  DialogWithLines dialog({"Alpha", "Bravo"});
  RunWithRobot(dialog, [&](DialogRobot& robot) {
    ASSERT_TRUE(robot.ClickCheckBox(IDC_PRINTER_LIST, "Bravo"));
    EXPECT_TRUE(WaitForCheck(robot, 1, true));
    EXPECT_FALSE(LineChecked(robot, 0));
    EXPECT_TRUE(WaitUntil([&] { return dialog.Notifications() == 1; }, 3000));

    ASSERT_TRUE(robot.ClickCheckBox(IDC_PRINTER_LIST, "Bravo"));
    EXPECT_TRUE(WaitForCheck(robot, 1, false));
    EXPECT_TRUE(WaitUntil([&] { return dialog.Notifications() == 2; }, 3000));
  });
}

TEST(CheckList, ClickOnALinesTextSelectsWithoutTicking) {
  DialogWithLines dialog({"Alpha", "Bravo"});
  RunWithRobot(dialog, [&](DialogRobot& robot) {
    ASSERT_TRUE(robot.SelectLine(IDC_PRINTER_LIST, 0));
    EXPECT_TRUE(WaitUntil(
        [&] { return robot.QueryControl(IDC_PRINTER_LIST, LB_GETCURSEL).value_or(LB_ERR) == 0; }, 3000));
    EXPECT_FALSE(LineChecked(robot, 0));
    EXPECT_EQ(dialog.Notifications(), 0);
  });
}

TEST(CheckList, SpaceTogglesTheSelectedLine) {
  DialogWithLines dialog({"Alpha", "Bravo", "Charlie"});
  RunWithRobot(dialog, [&](DialogRobot& robot) {
    ASSERT_TRUE(robot.SelectLine(IDC_PRINTER_LIST, 2));
    ASSERT_TRUE(WaitUntil(
        [&] { return robot.QueryControl(IDC_PRINTER_LIST, LB_GETCURSEL).value_or(LB_ERR) == 2; }, 3000));
    ASSERT_TRUE(robot.PressSpace(IDC_PRINTER_LIST));
    EXPECT_TRUE(WaitForCheck(robot, 2, true));
    EXPECT_TRUE(WaitForUninstallEnabled(robot, true));
    EXPECT_EQ(dialog.Notifications(), 1);
    // Space must tick, not jump to a line that starts with a space or move the selection.
    EXPECT_EQ(robot.QueryControl(IDC_PRINTER_LIST, LB_GETCURSEL).value_or(LB_ERR), 2);

    ASSERT_TRUE(robot.PressSpace(IDC_PRINTER_LIST));
    EXPECT_TRUE(WaitForCheck(robot, 2, false));
    EXPECT_TRUE(WaitForUninstallEnabled(robot, false));
  });
}

TEST(CheckList, UninstallIsEnabledExactlyWhileALineIsTicked) {
  DialogWithLines dialog({"Alpha", "Bravo", "Charlie"});
  RunWithRobot(dialog, [&](DialogRobot& robot) {
    EXPECT_FALSE(robot.IsEnabled(IDC_UNINSTALL));

    ASSERT_TRUE(robot.ClickCheckBox(IDC_PRINTER_LIST, "Alpha"));
    EXPECT_TRUE(WaitForUninstallEnabled(robot, true));
    ASSERT_TRUE(robot.ClickCheckBox(IDC_PRINTER_LIST, "Charlie"));
    ASSERT_TRUE(WaitForCheck(robot, 2, true));

    ASSERT_TRUE(robot.ClickCheckBox(IDC_PRINTER_LIST, "Alpha"));
    ASSERT_TRUE(WaitForCheck(robot, 0, false));
    EXPECT_TRUE(robot.IsEnabled(IDC_UNINSTALL)) << "Charlie is still ticked";

    ASSERT_TRUE(robot.ClickCheckBox(IDC_PRINTER_LIST, "Charlie"));
    EXPECT_TRUE(WaitForUninstallEnabled(robot, false));
  });
}

TEST(HostedDialog, CarriesItsIconBigAndSmallAndForDragging) {
  DialogWithLines dialog({"Alpha"});
  RunWithRobot(dialog, [&](DialogRobot& robot) {
    const std::optional<LRESULT> big = robot.Query(WM_GETICON, ICON_BIG);
    const std::optional<LRESULT> small = robot.Query(WM_GETICON, ICON_SMALL);
    const std::optional<LRESULT> dragIcon = robot.Query(WM_QUERYDRAGICON);
    ASSERT_TRUE(big.has_value() && small.has_value() && dragIcon.has_value());
    EXPECT_NE(*big, 0);
    EXPECT_EQ(*small, *big) << "the application icon serves as both";
    EXPECT_EQ(*dragIcon, *big);
  });
}

// Wine does not minimise a window without a window manager; the minimised state is the window's
// WS_MINIMIZE style, which is what the dialog asks about when it paints, so it is set directly.
// Wine may put the style back while it still settles the newly shown window, so the test sets it
// again until the icon shows.
TEST(HostedDialog, PaintsItsIconCentredWhenMinimised) {
  DialogWithLines dialog({"Alpha"});
  RunWithRobot(dialog, [&](DialogRobot& robot) {
    HWND window = robot.Window();
    for (const robot::ControlInfo& control : robot.Controls()) {
      ::ShowWindow(::GetDlgItem(window, control.id), SW_HIDE);
    }
    RECT client;
    ASSERT_TRUE(::GetClientRect(window, &client));
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    // A minimised window has no client area of its own: its painting lands on the whole window,
    // and reaches the screen once the dialog's thread is idle again.
    const auto pixel = [&](int px, int py) {
      HDC dc = ::GetWindowDC(window);
      const COLORREF color = ::GetPixel(dc, px, py);
      ::ReleaseDC(window, dc);
      return color;
    };
    const auto paintMinimised = [&] {
      if (!::IsIconic(window)) {
        ::SetWindowLongA(window, GWL_STYLE, ::GetWindowLongA(window, GWL_STYLE) | WS_MINIMIZE);
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      }
      return ::IsIconic(window) && pixel(x + 24, y + 20) == RGB(205, 40, 40);
    };
    // Inside the icon's red removal mark, on the printer's dark body, and beside the icon.
    EXPECT_TRUE(WaitUntil(paintMinimised, 5000)) << std::hex << pixel(x + 24, y + 20);
    EXPECT_EQ(pixel(x + 8, y + 22), RGB(60, 66, 80));
    EXPECT_EQ(pixel(x - 10, y + 20), ::GetSysColor(COLOR_3DFACE));
  });
}

}  // namespace

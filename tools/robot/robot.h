#pragma once

// Drives the uninstall dialog of another process the way a person would: it reads what is on
// screen, clicks check boxes and buttons, and answers message boxes. Everything it sends waits at
// most a short time, since the program is often busy inside a handler for seconds; clicks and
// answers are posted, never sent.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace robot {

// A child control of a dialog as the robot sees it.
struct ControlInfo {
  int id = 0;
  std::string className;
  std::string text;
  RECT rect{};  // in the dialog's client coordinates, pixels
  LONG style = 0;
  LONG exStyle = 0;
};

// A message box of the program.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  std::vector<int> buttonIds;
  bool hasIcon = false;
  HWND iconControl = nullptr;
};

// Calls probe every few milliseconds until it returns true or the time is up.
bool WaitUntil(const std::function<bool()>& probe, DWORD timeoutMs);

// Whether a top-level window of the process is visible now.
bool ShowsAWindow(DWORD processId);
// Whether the process has a dialog or message box on this desktop of another window station. In a
// station nobody sees, Wine reports none of its windows visible, so being there is what counts.
bool HasADialogOn(HDESK desktop, DWORD processId);

class DialogRobot {
 public:
  // Waits for the program's top-level dialog with this caption that holds a child with listId.
  static std::optional<DialogRobot> WaitForDialog(DWORD processId, const std::string& caption,
                                                  int listId, DWORD timeoutMs);

  HWND Window() const { return window_; }
  DWORD ProcessId() const { return processId_; }
  bool Exists() const { return ::IsWindow(window_) != FALSE; }

  std::string Caption() const;
  // The controls in tab (creation) order.
  std::vector<ControlInfo> Controls() const;
  std::string ControlText(int id) const;
  bool IsEnabled(int id) const;

  // The check list: its lines and their check marks.
  std::optional<std::vector<std::string>> ListLines(int listId) const;
  std::optional<bool> IsLineChecked(int listId, int index) const;
  // Clicks the check box of the line with this text; false if there is no such line.
  bool ClickCheckBox(int listId, const std::string& line);
  bool ClickCheckBox(int listId, int index);
  // Selects a line with a click on its text (not its box), then presses Space.
  bool SelectLine(int listId, int index);
  bool PressSpace(int listId);

  // Presses a button as a person would: only when it is enabled.
  bool PressButton(int id);

  std::optional<LRESULT> Query(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                               DWORD timeoutMs = 2000) const;
  std::optional<LRESULT> QueryControl(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                      DWORD timeoutMs = 2000) const;

  // Saves what the dialog shows on screen as a PNG file; false when the capture is blank.
  bool SaveScreenshot(const std::string& path) const;

  // The pixels (RGB) of the middle row of a control's client area as the screen shows them; a
  // busy program still shows what it last painted.
  std::vector<std::uint8_t> ControlMiddleRow(int id) const;

 private:
  DialogRobot(HWND window, DWORD processId) : window_(window), processId_(processId) {}
  HWND Child(int id) const { return ::GetDlgItem(window_, id); }
  bool ClickAt(HWND control, int x, int y);

  HWND window_;
  DWORD processId_;
};

// How much of a bar differs from its empty look, in percent of its width (-1 if the rows do not
// belong together).
int FilledPercent(const std::vector<std::uint8_t>& emptyRow, const std::vector<std::uint8_t>& row);

// What the screen shows in this rectangle, as RGB rows from the top.
std::vector<std::uint8_t> CaptureScreen(const RECT& area);

// Finds a message box of the program: a dialog of the process, other than `except`, made of
// texts, an icon and buttons only.
std::optional<MessageBoxInfo> FindMessageBox(DWORD processId, HWND except);
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, HWND except, DWORD timeoutMs);
// Presses the button with this id (IDYES, IDNO, IDOK...) in the box.
bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId);

// Which of the system's message box icons the box shows (MB_ICONHAND, MB_ICONQUESTION,
// MB_ICONEXCLAMATION, MB_ICONASTERISK): what the screen shows of its icon, compared with each icon
// as drawn here. Wine does not let another process read a program's icon handle. Nothing while
// the box is not painted or shows none of them.
std::optional<UINT> MessageBoxIcon(const MessageBoxInfo& box);

}  // namespace robot

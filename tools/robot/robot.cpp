#include "tools/robot/robot.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "tools/robot/png_writer.h"

namespace robot {

namespace {

constexpr DWORD kPollIntervalMs = 5;

// The text can change between a length query and the read, so the read gets room to spare and
// is repeated with more when it fills what it got. A window that goes during the read can leave
// the buffer unfilled (Wine then hands back whatever was in it), so such a read counts as empty.
std::string WindowText(HWND window) {
  std::string text(1024, '\0');
  for (;;) {
    const int copied = ::GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
    if (!::IsWindow(window)) return std::string();
    if (copied < static_cast<int>(text.size()) - 1) {
      text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
      return text;
    }
    text.assign(text.size() * 2, '\0');
  }
}

std::string ClassName(HWND window) {
  char name[256] = {};
  const int length = ::GetClassNameA(window, name, sizeof(name));
  return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::optional<LRESULT> SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       DWORD timeoutMs, bool wide = false) {
  DWORD_PTR result = 0;
  // Not SMTO_ABORTIFHUNG: a program that was busy for seconds counts as hung for a while after it
  // handles messages again, and the question would then be given up at once.
  const LRESULT ok =
      wide ? ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)
           : ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result);
  if (ok == 0) return std::nullopt;
  return static_cast<LRESULT>(result);
}

// A visible top-level window of the process, other than `except`, that `accept` takes: of the
// dialog class only, unless `anyClass`.
struct WindowSearch {
  DWORD processId;
  HWND except;
  std::function<bool(HWND)> accept;
  bool anyClass = false;
  HWND found = nullptr;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || window == search->except) return TRUE;
  if ((!search->anyClass && ClassName(window) != "#32770") || !::IsWindowVisible(window)) return TRUE;
  if (!search->accept(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Any window of the process that `accept` takes, shown or not.
BOOL CALLBACK VisitAny(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !search->accept(window)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindDialog(DWORD processId, HWND except, const std::function<bool(HWND)>& accept) {
  WindowSearch search{processId, except, accept};
  ::EnumWindows(&VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

}  // namespace

bool ShowsAWindow(DWORD processId) {
  WindowSearch search{processId, nullptr, [](HWND) { return true; }, true};
  ::EnumWindows(&VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}

bool HasADialogOn(HDESK desktop, DWORD processId) {
  WindowSearch search{processId, nullptr, [](HWND window) { return ClassName(window) == "#32770"; }, true};
  (void)::EnumDesktopWindows(desktop, &VisitAny, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}

bool WaitUntil(const std::function<bool()>& probe, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (probe()) return true;
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(kPollIntervalMs);
  }
}

std::optional<DialogRobot> DialogRobot::WaitForDialog(DWORD processId, const std::string& caption,
                                                      int listId, DWORD timeoutMs) {
  HWND found = nullptr;
  const bool appeared = WaitUntil(
      [&] {
        found = FindDialog(processId, nullptr, [&](HWND window) {
          return WindowText(window) == caption && ::GetDlgItem(window, listId) != nullptr;
        });
        return found != nullptr;
      },
      timeoutMs);
  if (!appeared) return std::nullopt;
  return DialogRobot(found, processId);
}

std::string DialogRobot::Caption() const { return WindowText(window_); }

std::vector<ControlInfo> DialogRobot::Controls() const {
  std::vector<ControlInfo> controls;
  for (HWND child : Children(window_)) {
    ControlInfo info;
    info.id = ::GetDlgCtrlID(child);
    info.className = ClassName(child);
    info.text = WindowText(child);
    ::GetWindowRect(child, &info.rect);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&info.rect), 2);
    info.style = ::GetWindowLongA(child, GWL_STYLE);
    info.exStyle = ::GetWindowLongA(child, GWL_EXSTYLE);
    controls.push_back(info);
  }
  return controls;
}

std::string DialogRobot::ControlText(int id) const { return WindowText(Child(id)); }

bool DialogRobot::IsEnabled(int id) const {
  HWND child = Child(id);
  return child != nullptr && ::IsWindowEnabled(child) != FALSE;
}

std::optional<LRESULT> DialogRobot::Query(UINT message, WPARAM wParam, LPARAM lParam,
                                          DWORD timeoutMs) const {
  return SendWithTimeout(window_, message, wParam, lParam, timeoutMs);
}

std::optional<LRESULT> DialogRobot::QueryControl(int id, UINT message, WPARAM wParam, LPARAM lParam,
                                                 DWORD timeoutMs) const {
  HWND child = Child(id);
  if (child == nullptr) return std::nullopt;
  return SendWithTimeout(child, message, wParam, lParam, timeoutMs);
}

std::optional<std::vector<std::string>> DialogRobot::ListLines(int listId) const {
  HWND list = Child(listId);
  const std::optional<LRESULT> count = QueryControl(listId, LB_GETCOUNT);
  if (list == nullptr || !count || *count < 0) return std::nullopt;
  std::vector<std::string> lines;
  for (LRESULT index = 0; index < *count; ++index) {
    // Across processes the ANSI form comes back as UTF-16; ask in the wide form and convert.
    const std::optional<LRESULT> length =
        SendWithTimeout(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, 2000, true);
    if (!length || *length < 0) return std::nullopt;
    std::vector<wchar_t> text(static_cast<size_t>(*length) + 1, L'\0');
    if (!SendWithTimeout(list, LB_GETTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(text.data()), 2000, true)) {
      return std::nullopt;
    }
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), -1, nullptr, 0, nullptr, nullptr);
    std::string line(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), -1, &line[0], bytes, nullptr, nullptr);
    line.resize(line.size() - 1);
    lines.push_back(line);
  }
  return lines;
}

std::optional<bool> DialogRobot::IsLineChecked(int listId, int index) const {
  // The check list keeps each line's check mark as the line's item data.
  const std::optional<LRESULT> data = QueryControl(listId, LB_GETITEMDATA, static_cast<WPARAM>(index));
  if (!data || *data == LB_ERR) return std::nullopt;
  return *data == 1;
}

bool DialogRobot::ClickAt(HWND control, int x, int y) {
  const LPARAM point = MAKELPARAM(x, y);
  return ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, point) != FALSE &&
         ::PostMessageA(control, WM_LBUTTONUP, 0, point) != FALSE;
}

bool DialogRobot::ClickCheckBox(int listId, int index) {
  HWND list = Child(listId);
  const std::optional<LRESULT> height = QueryControl(listId, LB_GETITEMHEIGHT);
  const std::optional<LRESULT> top = QueryControl(listId, LB_GETTOPINDEX);
  if (list == nullptr || !height || !top || *height <= 0 || index < *top) return false;
  const int lineHeight = static_cast<int>(*height);
  // The box sits at the left end of the line and is as tall as the line allows.
  const int y = static_cast<int>(index - *top) * lineHeight + lineHeight / 2;
  return ClickAt(list, lineHeight / 2, y);
}

bool DialogRobot::ClickCheckBox(int listId, const std::string& line) {
  const std::optional<std::vector<std::string>> lines = ListLines(listId);
  if (!lines) return false;
  for (size_t index = 0; index < lines->size(); ++index) {
    if ((*lines)[index] == line) return ClickCheckBox(listId, static_cast<int>(index));
  }
  return false;
}

bool DialogRobot::SelectLine(int listId, int index) {
  HWND list = Child(listId);
  const std::optional<LRESULT> height = QueryControl(listId, LB_GETITEMHEIGHT);
  const std::optional<LRESULT> top = QueryControl(listId, LB_GETTOPINDEX);
  if (list == nullptr || !height || !top || index < *top) return false;
  const int lineHeight = static_cast<int>(*height);
  const int y = static_cast<int>(index - *top) * lineHeight + lineHeight / 2;
  return ClickAt(list, lineHeight * 3, y);
}

bool DialogRobot::PressSpace(int listId) {
  HWND list = Child(listId);
  return list != nullptr && ::PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0x00390001) != FALSE &&
         ::PostMessageA(list, WM_CHAR, ' ', 0x00390001) != FALSE &&
         ::PostMessageA(list, WM_KEYUP, VK_SPACE, 0xC0390001) != FALSE;
}

bool DialogRobot::PressButton(int id) {
  HWND button = Child(id);
  if (button == nullptr || !::IsWindowEnabled(button)) return false;
  return ::PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

namespace {

// What `paint` draws into a 32-bit top-down bitmap of the given size (compatible with the screen,
// which it is also given), as RGB rows from the top; empty when it answers false.
std::vector<std::uint8_t> PaintedRgb(int width, int height, const std::function<bool(HDC memory, HDC screen)>& paint) {
  std::vector<std::uint8_t> rgb;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && memory != nullptr) {
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const bool painted = paint(memory, screen);
    ::GdiFlush();
    ::SelectObject(memory, previous);
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    for (size_t i = 0; painted && i < static_cast<size_t>(width) * height; ++i) {
      rgb.push_back(bgra[i * 4 + 2]);
      rgb.push_back(bgra[i * 4 + 1]);
      rgb.push_back(bgra[i * 4 + 0]);
    }
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (memory != nullptr) ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return rgb;
}

}  // namespace

std::vector<std::uint8_t> CaptureScreen(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  return PaintedRgb(width, height, [&](HDC memory, HDC screen) {
    return ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
  });
}

bool DialogRobot::SaveScreenshot(const std::string& path) const {
  // Let the program finish painting first, if it is idle enough to do so.
  if (HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId_)) {
    (void)::WaitForInputIdle(process, 2000);
    ::CloseHandle(process);
  }
  RECT frame;
  if (!::GetWindowRect(window_, &frame)) return false;
  const std::vector<std::uint8_t> rgb = CaptureScreen(frame);
  // A capture of one colour only means nothing was on screen there yet.
  const bool showsSomething =
      std::any_of(rgb.begin(), rgb.end(), [&](std::uint8_t value) { return value != rgb[0]; });
  return showsSomething &&
         WritePng(path, frame.right - frame.left, frame.bottom - frame.top, rgb);
}

std::vector<std::uint8_t> DialogRobot::ControlMiddleRow(int id) const {
  RECT client;
  HWND control = Child(id);
  if (control == nullptr || !::GetClientRect(control, &client)) return {};
  ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const int middle = (client.top + client.bottom) / 2;
  return CaptureScreen(RECT{client.left, middle, client.right, middle + 1});
}

int FilledPercent(const std::vector<std::uint8_t>& emptyRow, const std::vector<std::uint8_t>& row) {
  if (emptyRow.size() != row.size() || row.size() < 3) return -1;
  const size_t pixels = row.size() / 3;
  size_t filled = 0;
  for (size_t i = 0; i < pixels; ++i) {
    if (!std::equal(row.begin() + i * 3, row.begin() + i * 3 + 3, emptyRow.begin() + i * 3)) ++filled;
  }
  return static_cast<int>((filled * 100 + pixels / 2) / pixels);
}

std::optional<MessageBoxInfo> FindMessageBox(DWORD processId, HWND except) {
  // A message box is a dialog made of texts, an icon and buttons only.
  const auto isMessageBox = [](HWND window) {
    for (HWND child : Children(window)) {
      const std::string className = ClassName(child);
      if (className != "Button" && className != "Static") return false;
    }
    return true;
  };
  HWND window = FindDialog(processId, except, isMessageBox);
  if (window == nullptr) return std::nullopt;
  MessageBoxInfo box;
  box.window = window;
  box.caption = WindowText(window);
  for (HWND child : Children(window)) {
    if (ClassName(child) == "Button") {
      box.buttonIds.push_back(::GetDlgCtrlID(child));
    } else if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      box.hasIcon = true;
      box.iconControl = child;
    } else {
      const std::string text = WindowText(child);
      if (text.size() > box.text.size()) box.text = text;
    }
  }
  return box;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, HWND except, DWORD timeoutMs) {
  std::optional<MessageBoxInfo> box;
  (void)WaitUntil(
      [&] {
        box = FindMessageBox(processId, except);
        return box.has_value();
      },
      timeoutMs);
  return box;
}

bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
  HWND button = ::GetDlgItem(box.window, buttonId);
  if (button == nullptr || !::IsWindowEnabled(button)) return false;
  return ::PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

namespace {

// The icon drawn as an icon control draws it, stretched to the control, over a background of one
// colour, as RGB rows from the top.
std::vector<std::uint8_t> DrawnIcon(HICON icon, int width, int height, COLORREF background) {
  return PaintedRgb(width, height, [&](HDC memory, HDC) {
    HBRUSH brush = ::CreateSolidBrush(background);
    const RECT all{0, 0, width, height};
    ::FillRect(memory, &all, brush);
    ::DeleteObject(brush);
    return ::DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) != FALSE;
  });
}

}  // namespace

std::optional<UINT> MessageBoxIcon(const MessageBoxInfo& box) {
  RECT area;
  if (box.iconControl == nullptr || !::GetClientRect(box.iconControl, &area)) return std::nullopt;
  ::MapWindowPoints(box.iconControl, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const std::vector<std::uint8_t> shown = CaptureScreen(area);
  if (shown.size() < 3) return std::nullopt;
  // The icons' corners are transparent: the control's background shows there.
  const COLORREF background = RGB(shown[0], shown[1], shown[2]);
  const struct {
    UINT style;
    const char* icon;
  } candidates[] = {{MB_ICONHAND, IDI_HAND},
                    {MB_ICONQUESTION, IDI_QUESTION},
                    {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
                    {MB_ICONASTERISK, IDI_ASTERISK}};
  // The closest of them, if nearly every pixel agrees: blending on another background colour than
  // the one guessed can change the odd edge pixel.
  std::optional<UINT> closest;
  size_t closestAgreeing = shown.size() / 3 * 9 / 10;
  for (const auto& candidate : candidates) {
    const std::vector<std::uint8_t> drawn =
        DrawnIcon(::LoadIconA(nullptr, candidate.icon), width, height, background);
    if (drawn.size() != shown.size()) continue;
    size_t agreeing = 0;
    for (size_t i = 0; i < shown.size(); i += 3) {
      if (std::equal(shown.begin() + i, shown.begin() + i + 3, drawn.begin() + i)) ++agreeing;
    }
    if (agreeing > closestAgreeing) {
      closest = candidate.style;
      closestAgreeing = agreeing;
    }
  }
  return closest;
}

}  // namespace robot

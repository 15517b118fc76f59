#include "ui/check_list_box.h"

#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

#include "ui/visual_styles.h"

namespace {

constexpr char kObjectProperty[] = "CheckListBox.Object";
constexpr int kBoxMargin = 1;      // between the line's edge and the box, in pixels
constexpr int kTextGap = 4;        // between the box and the text
constexpr int kMinimumBoxSize = 9; // below this a check mark is no longer legible

}  // namespace

CheckListBox::~CheckListBox() { Detach(); }

void CheckListBox::Attach(HWND window) {
  Control::Attach(window);
  (void)::SetPropA(window, kObjectProperty, this);
  originalProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  OpenTheme();
  AdoptItemHeight();
}

void CheckListBox::Detach() {
  Unsubclass();
  CloseTheme();
  Control::Detach();
}

void CheckListBox::Unsubclass() {
  HWND window = Handle();
  if (window == nullptr || originalProc_ == nullptr) return;
  if (::IsWindow(window)) {
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    (void)::RemovePropA(window, kObjectProperty);
  }
  originalProc_ = nullptr;
}

int CheckListBox::AddString(const std::string& text) {
  const int index =
      static_cast<int>(::SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  if (index >= 0) (void)::SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
  return index;
}

int CheckListBox::GetCount() const {
  return static_cast<int>(::SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

std::string CheckListBox::GetText(int index) const {
  const LRESULT length = ::SendMessageA(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied = ::SendMessageA(Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

int CheckListBox::GetCheck(int index) const {
  const LRESULT data = ::SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == 1 ? 1 : 0;
}

void CheckListBox::SetCheck(int index, int check) {
  if (::SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), check != 0 ? 1 : 0) == LB_ERR) {
    return;
  }
  RECT line;
  if (::SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line)) !=
      LB_ERR) {
    (void)::InvalidateRect(Handle(), &line, FALSE);
  }
}

RECT CheckListBox::CheckBoxRect(const RECT& lineRect) const {
  const int lineHeight = lineRect.bottom - lineRect.top;
  const int size = std::max(kMinimumBoxSize, lineHeight - 2 * kBoxMargin);
  RECT box;
  box.left = lineRect.left + kBoxMargin;
  box.top = lineRect.top + (lineHeight - size) / 2;
  box.right = box.left + size;
  box.bottom = box.top + size;
  return box;
}

void CheckListBox::AdoptItemHeight() {
  HDC dc = ::GetDC(Handle());
  if (dc == nullptr) return;
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(Handle(), WM_GETFONT, 0, 0));
  HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
  TEXTMETRICA metrics{};
  const bool measured = ::GetTextMetricsA(dc, &metrics) != FALSE;
  if (previous != nullptr) ::SelectObject(dc, previous);
  ::ReleaseDC(Handle(), dc);
  if (!measured) return;
  const int height = std::max<int>(metrics.tmHeight + 2, kMinimumBoxSize + 2 * kBoxMargin);
  (void)::SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

void CheckListBox::OpenTheme() {
  const VisualStyles& styles = SystemVisualStyles();
  if (styles.Available() && theme_ == nullptr) theme_ = styles.openThemeData(Handle(), L"BUTTON");
}

void CheckListBox::CloseTheme() {
  if (theme_ != nullptr) (void)SystemVisualStyles().closeThemeData(theme_);
  theme_ = nullptr;
}

bool CheckListBox::DrawItem(const DRAWITEMSTRUCT& drawItem) {
  if (drawItem.CtlType != ODT_LISTBOX) return false;
  HDC dc = drawItem.hDC;
  const RECT& line = drawItem.rcItem;
  if (drawItem.itemID == static_cast<UINT>(-1)) {
    if (drawItem.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &line);
    return true;
  }
  const int index = static_cast<int>(drawItem.itemID);
  const bool checked = GetCheck(index) != 0;
  const bool selected = (drawItem.itemState & ODS_SELECTED) != 0;
  const bool enabled = (drawItem.itemState & ODS_DISABLED) == 0 && IsWindowEnabled();

  ::FillRect(dc, &line, ::GetSysColorBrush(COLOR_WINDOW));
  RECT box = CheckBoxRect(line);
  if (theme_ != nullptr) {
    const int state = checked ? (enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED)
                              : (enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED);
    (void)SystemVisualStyles().drawThemeBackground(theme_, dc, BP_CHECKBOX, state, &box, nullptr);
  } else {
    UINT frameState = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (checked) frameState |= DFCS_CHECKED;
    if (!enabled) frameState |= DFCS_INACTIVE;
    (void)::DrawFrameControl(dc, &box, DFC_BUTTON, frameState);
  }

  RECT textArea = line;
  textArea.left = box.right + kTextGap;
  if (selected) ::FillRect(dc, &textArea, ::GetSysColorBrush(COLOR_HIGHLIGHT));
  const COLORREF previousColor = ::SetTextColor(
      dc, ::GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const int previousMode = ::SetBkMode(dc, TRANSPARENT);
  RECT textRect = textArea;
  textRect.left += 2;
  const std::string text = GetText(index);
  (void)::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  ::SetBkMode(dc, previousMode);
  ::SetTextColor(dc, previousColor);
  if (drawItem.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &textArea);
  return true;
}

bool CheckListBox::ToggleLineAt(POINT point) {
  const LRESULT hit = ::SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(hit) != 0) return false;  // below the last line
  const int index = LOWORD(hit);
  RECT line;
  if (::SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line)) ==
      LB_ERR) {
    return false;
  }
  RECT box = CheckBoxRect(line);
  box.left = line.left;
  box.right += kBoxMargin;
  if (!::PtInRect(&box, point)) return false;
  ToggleAndNotify(index);
  return true;
}

void CheckListBox::ToggleAndNotify(int index) {
  SetCheck(index, GetCheck(index) != 0 ? 0 : 1);
  HWND window = Handle();
  (void)::SendMessageA(::GetParent(window), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(window), CLBN_CHKCHANGE),
                       reinterpret_cast<LPARAM>(window));
}

LRESULT CALLBACK CheckListBox::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CheckListBox*>(::GetPropA(window, kObjectProperty));
  if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT CheckListBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = Handle();
  const WNDPROC original = originalProc_;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      (void)ToggleLineAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      break;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        const int selected = static_cast<int>(::SendMessageA(window, LB_GETCURSEL, 0, 0));
        if (selected != LB_ERR) ToggleAndNotify(selected);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == ' ') return 0;  // Space ticks; it must not also search the lines
      break;
    case WM_THEMECHANGED:
      CloseTheme();
      OpenTheme();
      (void)::InvalidateRect(window, nullptr, TRUE);
      break;
    case WM_NCDESTROY:
      Unsubclass();
      CloseTheme();
      return ::CallWindowProcA(original, window, message, wParam, lParam);
    default:
      break;
  }
  return ::CallWindowProcA(original, window, message, wParam, lParam);
}

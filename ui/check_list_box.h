#pragma once

#include <windows.h>

#include <string>

#include "ui/controls.h"

// Notification code sent to the parent, in WM_COMMAND, when the user changes a line's check box.
constexpr int CLBN_CHKCHANGE = 40;

// A list box whose every line carries a check box. The template gives the list box its owner-draw
// (fixed) and has-strings styles, so the lines stay ordinary strings that any program can read
// with LB_GETTEXT; the check state of a line travels with it as its item data, so sorting keeps
// line and state together.
class CheckListBox : public Control {
 public:
  ~CheckListBox() override;

  void Attach(HWND window) override;
  void Detach() override;

  int AddString(const std::string& text);
  int GetCount() const;
  std::string GetText(int index) const;

  // 1 when the line is ticked, 0 when not.
  int GetCheck(int index) const;
  void SetCheck(int index, int check);

  bool DrawItem(const DRAWITEMSTRUCT& drawItem) override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // The square of the check box on a line, inside the line's rectangle.
  RECT CheckBoxRect(const RECT& lineRect) const;
  bool ToggleLineAt(POINT point);
  void ToggleAndNotify(int index);
  void AdoptItemHeight();
  void OpenTheme();
  void CloseTheme();
  void Unsubclass();

  WNDPROC originalProc_ = nullptr;
  HANDLE theme_ = nullptr;
};

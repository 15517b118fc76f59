#pragma once

#include <windows.h>

// Thin wrappers over the dialog's child windows. A wrapper does not own its window: the dialog
// creates and destroys the controls; the wrapper is attached when the dialog binds it.
class Control {
 public:
  Control() = default;
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Called once, when the dialog binds the control to its window.
  virtual void Attach(HWND window) { window_ = window; }
  // Called when the dialog that owns the window has gone.
  virtual void Detach() { window_ = nullptr; }
  HWND Handle() const { return window_; }
  bool IsAttached() const { return window_ != nullptr; }

  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(window_, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(window_); }

  // With redrawing off, the control changes without drawing anything; turning it on again draws
  // the whole control once, frame and scroll bars included.
  void SetRedraw(bool redraw);

  // Owner-drawn controls draw themselves when the dialog passes the request on.
  virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }

 private:
  HWND window_ = nullptr;
};

class PushButton : public Control {};

class ProgressBar : public Control {
 public:
  void SetRange(short lower, short upper);
  int SetStep(int step);
  int StepIt();
  int SetPos(int position);
};

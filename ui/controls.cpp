#include "ui/controls.h"

#include <commctrl.h>

void Control::SetRedraw(bool redraw) {
  (void)::SendMessageA(window_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) {
    (void)::RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

void ProgressBar::SetRange(short lower, short upper) {
  (void)::SendMessageA(Handle(), PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

int ProgressBar::SetStep(int step) {
  return static_cast<int>(::SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0));
}

int ProgressBar::StepIt() { return static_cast<int>(::SendMessageA(Handle(), PBM_STEPIT, 0, 0)); }

int ProgressBar::SetPos(int position) {
  return static_cast<int>(::SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

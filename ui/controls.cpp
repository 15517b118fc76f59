#include "ui/controls.h"

#include <commctrl.h>

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

int ProgressBar::GetPos() const {
  return static_cast<int>(::SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

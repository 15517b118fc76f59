#include "ui/input_lock.h"

namespace {

thread_local HWND lockedDialog = nullptr;

// Client-area input only: the caption's buttons and the window's frame answer as they always do,
// and a close request that comes from them is for the dialog itself to refuse.
bool IsClientInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSEHOVER ||
         message == WM_MOUSELEAVE;
}

}  // namespace

InputLock::InputLock(HWND dialog)
    : hook_(::SetWindowsHookExA(WH_MSGFILTER, &InputLock::Filter, nullptr, ::GetCurrentThreadId())) {
  lockedDialog = dialog;
}

InputLock::~InputLock() {
  if (hook_ != nullptr) (void)::UnhookWindowsHookEx(hook_);
  lockedDialog = nullptr;
}

LRESULT CALLBACK InputLock::Filter(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && message != nullptr && lockedDialog != nullptr && IsClientInput(message->message) &&
      (message->hwnd == lockedDialog || ::IsChild(lockedDialog, message->hwnd))) {
    return TRUE;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

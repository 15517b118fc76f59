#pragma once

#include <windows.h>

// While it lives, keyboard and mouse input meant for a dialog or the controls inside it is taken
// away before they see it: nothing can be typed, clicked, ticked or scrolled there. The dialog
// still repaints, answers every message sent to it, and can be moved by its caption. The system's
// modal dialog loop hands every message it takes to the thread's message filter hooks first
// (MSGF_DIALOGBOX) and leaves alone one that a hook has handled. One lock per thread at a time.
class InputLock {
 public:
  explicit InputLock(HWND dialog);
  ~InputLock();
  InputLock(const InputLock&) = delete;
  InputLock& operator=(const InputLock&) = delete;

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam);

  HHOOK hook_;
};

#pragma once

#include <windows.h>

// Why the session must not end now, for the screen Windows (Vista and later) shows when a shutdown
// or log-off is held up: the window answers WM_QUERYENDSESSION with FALSE meanwhile, and the screen
// names the program with this reason. Windows before Vista has no such screen; the calls are looked
// up at run time, so the program starts there too. Both must come from the window's own thread.
class ShutdownBlock {
 public:
  ShutdownBlock() = default;
  ~ShutdownBlock() { Release(); }
  ShutdownBlock(const ShutdownBlock&) = delete;
  ShutdownBlock& operator=(const ShutdownBlock&) = delete;

  // Registers the reason for this window, once.
  void Hold(HWND window, const wchar_t* reason);
  void Release();

 private:
  HWND window_ = nullptr;
};

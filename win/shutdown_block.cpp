#include "win/shutdown_block.h"

#include "win/system_library.h"

namespace {

using ReasonCreate = BOOL WINAPI(HWND, LPCWSTR);
using ReasonDestroy = BOOL WINAPI(HWND);

HMODULE User32() { return ::GetModuleHandleA("user32.dll"); }

}  // namespace

void ShutdownBlock::Hold(HWND window, const wchar_t* reason) {
  if (window_ != nullptr) return;
  window_ = window;
  ReasonCreate* create = ExportLookup(User32(), "ShutdownBlockReasonCreate");
  // Without the reason (Windows XP; Wine, which answers ERROR_CALL_NOT_IMPLEMENTED) the window's
  // FALSE still holds the session up; only the screen's explanation is missing.
  if (create != nullptr) (void)create(window, reason);
}

void ShutdownBlock::Release() {
  if (window_ == nullptr) return;
  ReasonDestroy* destroy = ExportLookup(User32(), "ShutdownBlockReasonDestroy");
  if (destroy != nullptr) (void)destroy(window_);
  window_ = nullptr;
}

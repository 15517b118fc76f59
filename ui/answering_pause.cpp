#include "ui/answering_pause.h"

#include <algorithm>

namespace {

constexpr DWORD kLongestUnansweredMs = 100;

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_NCMOUSEHOVER ||
         message == WM_NCMOUSELEAVE || message == WM_MOUSEHOVER || message == WM_MOUSELEAVE;
}

// Posted requests that would click, close, cancel or start something.
bool IsRequestToAct(UINT message) {
  return message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CLOSE || message == BM_CLICK;
}

}  // namespace

void PauseAnswering(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  bool quitPosted = false;
  WPARAM quitCode = 0;
  for (;;) {
    // Unsigned difference: right across the tick count's wrap after 49.7 days.
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= milliseconds) break;
    // Retrieving a message also delivers every message sent to this thread's windows.
    MSG message;
    if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quitPosted = true;
        quitCode = message.wParam;
      } else if (!IsUserInput(message.message) && !IsRequestToAct(message.message)) {
        (void)::DispatchMessageA(&message);
      }
      continue;
    }
    (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(milliseconds - elapsed, kLongestUnansweredMs),
                                      QS_ALLINPUT);
  }
  // A quit request belongs to the message loop that runs once the pause is over.
  if (quitPosted) ::PostQuitMessage(static_cast<int>(quitCode));
}

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

struct QuitRequest {
  bool posted = false;
  WPARAM exitCode = 0;
};

// Takes the next message from the queue and handles it, unless it is input or a request to act.
// Retrieving it also delivers every message sent to this thread's windows. False when none waited.
bool HandleNextMessage(QuitRequest& quit) {
  MSG message;
  if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    quit = {true, message.wParam};
  } else if (!IsUserInput(message.message) && !IsRequestToAct(message.message)) {
    (void)::DispatchMessageA(&message);
  }
  return true;
}

// Handles messages for `milliseconds`, waiting for more when `waitForMore`, else only while some
// wait. The time bounds it even when a window keeps asking to be painted.
void AnswerFor(DWORD milliseconds, bool waitForMore) {
  const DWORD start = ::GetTickCount();
  QuitRequest quit;
  for (;;) {
    // Unsigned difference: right across the tick count's wrap after 49.7 days.
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= milliseconds) break;
    if (HandleNextMessage(quit)) continue;
    if (!waitForMore) break;
    (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(milliseconds - elapsed, kLongestUnansweredMs),
                                      QS_ALLINPUT);
  }
  // A quit request belongs to the message loop that runs once this is over.
  if (quit.posted) ::PostQuitMessage(static_cast<int>(quit.exitCode));
}

}  // namespace

void PauseAnswering(DWORD milliseconds) { AnswerFor(milliseconds, true); }

void AnswerWaitingMessages() { AnswerFor(kLongestUnansweredMs, false); }

#include "tools/robot/answer_probe.h"

namespace robot {

namespace {

constexpr DWORD kAskEveryMs = 50;
// Far beyond the 5 s after which Windows gives up on a window; a longer wait is recorded as this.
constexpr UINT kLongestWaitMs = 20000;

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

AnswerProbe::AnswerProbe(HWND window) : thread_([this, window] { Probe(window); }) {}

AnswerProbe::~AnswerProbe() { (void)Stop(); }

double AnswerProbe::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return longestMs_;
}

void AnswerProbe::Probe(HWND window) {
  while (!stop_ && ::IsWindow(window)) {
    const double asked = NowMs();
    DWORD_PTR answer = 0;
    (void)::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kLongestWaitMs, &answer);
    const double waited = NowMs() - asked;
    if (waited > longestMs_) longestMs_ = waited;
    ::Sleep(kAskEveryMs);
  }
}

}  // namespace robot

#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace robot {

// Asks a window of another thread or process, every 50 ms from a thread of its own, whether it
// answers (WM_NULL, sent), and keeps the longest time an answer took. Windows marks a window
// that leaves a message unanswered for 5 s as not responding. Probing ends with Stop(), or when
// the window is gone.
class AnswerProbe {
 public:
  explicit AnswerProbe(HWND window);
  ~AnswerProbe();
  AnswerProbe(const AnswerProbe&) = delete;
  AnswerProbe& operator=(const AnswerProbe&) = delete;

  // Ends the probing (after the question on its way, if any) and returns the longest wait in
  // milliseconds; a question still unanswered when the window went counts until then.
  double Stop();

 private:
  void Probe(HWND window);

  std::atomic<bool> stop_{false};
  std::atomic<double> longestMs_{0};
  std::thread thread_;
};

}  // namespace robot

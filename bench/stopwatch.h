#pragma once

#include <windows.h>

namespace bench {

// Milliseconds since construction, from the high-resolution counter.
class Stopwatch {
 public:
  Stopwatch() { ::QueryPerformanceCounter(&start_); }
  double ElapsedMs() const {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
  }

 private:
  LARGE_INTEGER start_;
};

}  // namespace bench

#pragma once

#include <windows.h>

// BeginPaint/EndPaint for the length of a scope.
class PaintContext {
 public:
  explicit PaintContext(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~PaintContext() { ::EndPaint(window_, &paint_); }
  PaintContext(const PaintContext&) = delete;
  PaintContext& operator=(const PaintContext&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

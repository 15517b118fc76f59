#pragma once

#include <windows.h>
#include <uxtheme.h>

// The part of the theme API the dialog layer draws with. The theme library is not a known system
// DLL, so it is loaded by its full path, on first use; null members mean no visual styles.
struct VisualStyles {
  HTHEME(WINAPI* openThemeData)(HWND, LPCWSTR) = nullptr;
  HRESULT(WINAPI* closeThemeData)(HTHEME) = nullptr;
  HRESULT(WINAPI* drawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;

  bool Available() const {
    return openThemeData != nullptr && closeThemeData != nullptr && drawThemeBackground != nullptr;
  }
};

const VisualStyles& SystemVisualStyles();

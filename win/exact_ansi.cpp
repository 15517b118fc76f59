#include "win/exact_ansi.h"

#include <windows.h>

#include <cwchar>

std::optional<std::string> ExactAnsi(const wchar_t* text, std::size_t length) {
  if (length == 0) return std::string();
  BOOL usedDefault = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(size), '\0');
  (void)::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), &narrow[0], size,
                              nullptr, &usedDefault);
  return narrow;
}

std::optional<std::string> ExactAnsi(const wchar_t* text) {
  if (text == nullptr) return std::nullopt;
  return ExactAnsi(text, std::wcslen(text));
}

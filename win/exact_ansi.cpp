#include "win/exact_ansi.h"

#include <windows.h>

#include <cwchar>

namespace {

// A conversion that spells a name exactly or fails. Where the code page can fall back to its
// default character, WideCharToMultiByte reports having done so, and that is checked.
struct Conversion {
  UINT codePage;
  DWORD flags;
  bool checkDefaultCharacter;
};

Conversion ExactConversion() {
  // Windows 10 1903 and later can make UTF-8 the ANSI code page. For CP_UTF8 WideCharToMultiByte
  // refuses WC_NO_BEST_FIT_CHARS (ERROR_INVALID_FLAGS) and a used-default-character pointer
  // (ERROR_INVALID_PARAMETER). UTF-8 spells every character exactly but an unpaired surrogate,
  // which WC_ERR_INVALID_CHARS turns into a failed conversion instead of a replacement character.
  if (::GetACP() == CP_UTF8) return {CP_UTF8, WC_ERR_INVALID_CHARS, false};
  return {CP_ACP, WC_NO_BEST_FIT_CHARS, true};
}

}  // namespace

std::optional<std::string> ExactAnsi(const wchar_t* text, std::size_t length) {
  if (length == 0) return std::string();
  const Conversion conversion = ExactConversion();
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultReport = conversion.checkDefaultCharacter ? &usedDefault : nullptr;
  const int wideLength = static_cast<int>(length);
  const int size = ::WideCharToMultiByte(conversion.codePage, conversion.flags, text, wideLength, nullptr, 0,
                                         nullptr, usedDefaultReport);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(size), '\0');
  (void)::WideCharToMultiByte(conversion.codePage, conversion.flags, text, wideLength, &narrow[0], size, nullptr,
                              usedDefaultReport);
  return narrow;
}

std::optional<std::string> ExactAnsi(const wchar_t* text) {
  if (text == nullptr) return std::nullopt;
  return ExactAnsi(text, std::wcslen(text));
}

#include "removal/inf_file_list.h"

#include <windows.h>

#include <cwchar>

#include "win/unique_handle.h"

namespace {

std::optional<std::wstring> Widen(const std::string& text) {
  const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  (void)::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                              &wide[0], length);
  return wide;
}

std::optional<std::string> NarrowExactly(const wchar_t* text, size_t length) {
  BOOL usedDefault = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length),
                                         nullptr, 0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string narrow(static_cast<size_t>(size), '\0');
  (void)::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), &narrow[0], size,
                              nullptr, &usedDefault);
  return narrow;
}

}  // namespace

// The wide form is used so that a name the ANSI code page cannot spell is seen as such, not
// turned into a best-fit spelling by the system.
std::optional<std::vector<std::string>> ListOemInfFiles(const std::string& directory) {
  const std::optional<std::wstring> pattern = Widen(directory + "\\oem*.inf");
  if (!pattern) return std::nullopt;
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry{};
  const ScopedFindHandle search(::FindFirstFileW(pattern->c_str(), &entry));
  if (!search.IsValid()) {
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return names;
    return std::nullopt;
  }
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const size_t length = ::wcsnlen(entry.cFileName, MAX_PATH);
    if (std::optional<std::string> name = NarrowExactly(entry.cFileName, length)) names.push_back(*name);
  } while (::FindNextFileW(search.Get(), &entry));
  return names;
}

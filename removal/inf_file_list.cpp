#include "removal/inf_file_list.h"

#include <windows.h>
#include <setupapi.h>

#include <cwchar>

#include "win/exact_ansi.h"

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

}  // namespace

// The wide form is used because the ANSI form reports no size when asked without a buffer under
// Wine; the directory is named because Wine lists nothing for "the default INF directory".
std::optional<std::vector<std::string>> ListInfFiles(const std::string& directory) {
  const std::optional<std::wstring> wideDirectory = Widen(directory);
  if (!wideDirectory) return std::nullopt;
  DWORD needed = 0;
  (void)::SetupGetInfFileListW(wideDirectory->c_str(), INF_STYLE_WIN4, nullptr, 0, &needed);
  if (needed == 0) return std::nullopt;
  std::vector<wchar_t> buffer(needed, L'\0');
  DWORD returned = 0;
  if (!::SetupGetInfFileListW(wideDirectory->c_str(), INF_STYLE_WIN4, buffer.data(), needed, &returned)) {
    return std::nullopt;
  }

  // Names follow each other, each with its terminator, closed by an empty one.
  std::vector<std::string> names;
  const size_t end = returned < buffer.size() ? returned : buffer.size();
  for (size_t at = 0; at < end && buffer[at] != L'\0';) {
    const size_t length = ::wcsnlen(&buffer[at], end - at);
    if (std::optional<std::string> name = ExactAnsi(&buffer[at], length)) names.push_back(*name);
    at += length + 1;
  }
  return names;
}

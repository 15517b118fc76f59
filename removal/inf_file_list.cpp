#include "removal/inf_file_list.h"

#include <windows.h>

#include <cwchar>

#include "win/exact_ansi.h"
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

// A wildcard ending in ".inf" also matches longer extensions through their short 8.3 names
// ("oem9.inf.bak" as OEM9~1.INF), so the long name itself must end in ".inf".
bool EndsInInfExtension(const wchar_t* name, size_t length) {
  return length >= 4 && ::_wcsicmp(name + length - 4, L".inf") == 0;
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
    if (!EndsInInfExtension(entry.cFileName, length)) continue;
    if (std::optional<std::string> name = ExactAnsi(entry.cFileName, length)) names.push_back(*name);
  } while (::FindNextFileW(search.Get(), &entry));
  return names;
}

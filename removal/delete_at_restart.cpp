#include "removal/delete_at_restart.h"

#include <windows.h>

#include <algorithm>

#include "win/reg_key.h"

namespace {

bool IsInUse(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE ||
         error == ERROR_ACCESS_DENIED;  // what deleting a running program or loaded DLL gives
}

constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenames[] = "PendingFileRenameOperations";
constexpr char kNtPathPrefix[] = "\\??\\";

}  // namespace

std::vector<std::string> PathsToDeleteAtRestart() {
  std::vector<std::string> paths;
  RegKey sessionManager;
  if (sessionManager.Open(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE) != ERROR_SUCCESS) return paths;
  DWORD size = 0;
  if (::RegQueryValueExA(sessionManager.Get(), kPendingRenames, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return paths;
  }
  // Two terminators more, so that a value stored without its own still ends.
  std::vector<char> data(size + 2, '\0');
  if (::RegQueryValueExA(sessionManager.Get(), kPendingRenames, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS) {
    return paths;
  }
  std::vector<std::string> texts;
  for (size_t at = 0; at < size; at += texts.back().size() + 1) texts.emplace_back(&data[at]);
  for (size_t i = 0; i + 1 < texts.size(); i += 2) {
    if (!texts[i + 1].empty()) continue;
    const std::string& source = texts[i];
    paths.push_back(source.rfind(kNtPathPrefix, 0) == 0 ? source.substr(sizeof kNtPathPrefix - 1) : source);
  }
  return paths;
}

bool IsAmong(const std::string& path, const std::vector<std::string>& scheduled) {
  return std::any_of(scheduled.begin(), scheduled.end(), [&](const std::string& candidate) {
    return ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), static_cast<int>(path.size()),
                            candidate.c_str(), static_cast<int>(candidate.size())) == CSTR_EQUAL;
  });
}

RemovalResult DeleteFileOrScheduleAtRestart(const std::string& path) {
  RemovalResult result;
  if (::DeleteFileA(path.c_str())) return result;
  const DWORD error = ::GetLastError();
  if (!IsInUse(error)) {
    result.FailUnlessGone(error);
    return result;
  }
  return DeleteAtRestart(path);
}

RemovalResult DeleteAtRestart(const std::string& path) {
  RemovalResult result;
  if (::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    result.atRestart = true;
  } else {
    result.FailWithLastError();
  }
  return result;
}

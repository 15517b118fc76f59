#include "removal/delete_at_restart.h"

#include <windows.h>

namespace {

bool IsInUse(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE ||
         error == ERROR_ACCESS_DENIED;  // what deleting a running program or loaded DLL gives
}

}  // namespace

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

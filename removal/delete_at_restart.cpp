#include "removal/delete_at_restart.h"

#include <windows.h>

namespace {

bool IsInUse(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE ||
         error == ERROR_ACCESS_DENIED;  // what deleting a running program or loaded DLL gives
}

}  // namespace

bool DeleteFileOrScheduleAtRestart(const std::string& path) {
  if (::DeleteFileA(path.c_str())) return false;
  if (!IsInUse(::GetLastError())) return false;
  return ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

void RemoveDirectoryAtRestart(const std::string& path) {
  (void)::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

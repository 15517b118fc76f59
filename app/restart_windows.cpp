#include "app/restart_windows.h"

#include <windows.h>

#include "win/unique_handle.h"

bool RestartWindows() {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) {
    return false;
  }
  const ScopedHandle token(opened);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  (void)::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // Success with ERROR_NOT_ALL_ASSIGNED means the token does not hold the privilege at all.
  ::SetLastError(ERROR_SUCCESS);
  (void)::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
  if (::GetLastError() != ERROR_SUCCESS) return false;
  return ::ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0) != FALSE;
}

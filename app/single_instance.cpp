#include "app/single_instance.h"

#include <windows.h>

namespace {

// Only a process with SeCreateGlobalPrivilege (services, administrators) can create an object in
// the global namespace, so an ordinary user cannot take the name first to keep the uninstaller out.
constexpr char kMutexName[] = "Global\\KARVELO_QTM-820wide uninstaller";

}  // namespace

bool SingleInstance::AnotherCopyRuns() {
  mutex_ = ScopedHandle(::CreateMutexA(nullptr, FALSE, kMutexName));
  const DWORD error = ::GetLastError();
  // A copy running as another account (SYSTEM, for a deployment tool) made the mutex with its own
  // default permissions, which may not let this account open it: it is there all the same.
  if (!mutex_.IsValid()) return error == ERROR_ACCESS_DENIED;
  return error == ERROR_ALREADY_EXISTS;
}

#include <shlwapi.h>

#include "identity/target_identity.h"
#include "regperm/regperm.h"

LONG ForceDeleteKey(const char* keyPath, const char* subKey) {
  SavedDacl previousDacl;
  // The deletion is attempted whatever the grant's outcome.
  (void)ApplyPermissionSpec(keyPath, PERMISSION_SPEC, &previousDacl);
  const LONG status = static_cast<LONG>(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, subKey));
  // A key that stays must not stay open to everyone.
  if (status != ERROR_SUCCESS) previousDacl.PutBack();
  return status;
}

#include <utility>

#include "regperm/key_path.h"
#include "regperm/permission_spec.h"

LONG ApplyPermissionSpec(const char* keyPath, const char* specText, SavedDacl* saved) {
  PermissionSpec spec;
  const LONG parseStatus = ParsePermissionSpec(specText, spec);
  if (parseStatus != ERROR_SUCCESS) return parseStatus;

  // Only the key handle is needed; the texts are allocated for it and released with it.
  KeyPathResult key;
  const LONG openStatus = OpenKeyPath(keyPath, key);
  if (openStatus != ERROR_SUCCESS) return openStatus;

  EXPLICIT_ACCESS_A entry{};
  ::BuildExplicitAccessWithNameA(&entry, spec.trusteeName.data(), spec.accessMask, spec.accessMode,
                                 PERMISSION_INHERITANCE);
  ScopedLocalMemory previous;
  const LONG status = ApplyAccessEntry(key.keyHandle.Get(), entry, saved != nullptr ? &previous : nullptr);
  if (status == ERROR_SUCCESS && saved != nullptr) *saved = SavedDacl(std::move(key.keyHandle), std::move(previous));
  return status;
}

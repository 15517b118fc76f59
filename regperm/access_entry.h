#pragma once

// Merging one explicit access entry into a registry key's DACL, and putting a DACL back.

#include <windows.h>
#include <aclapi.h>

#include <utility>

#include "win/reg_key.h"
#include "win/unique_handle.h"

// A key's DACL as it was before an entry was merged into it, kept with the open key so that it
// can be put back.
class SavedDacl {
 public:
  SavedDacl() = default;
  SavedDacl(RegKey key, ScopedLocalMemory securityDescriptor)
      : key_(std::move(key)), securityDescriptor_(std::move(securityDescriptor)) {}

  bool IsSaved() const { return key_.IsValid() && securityDescriptor_.IsValid(); }
  // Writes the saved DACL back on the key, protected from inheritance if it was; does nothing
  // when nothing was saved.
  void PutBack() const;

 private:
  RegKey key_;
  ScopedLocalMemory securityDescriptor_;
};

// Merges `entry` into the DACL of `keyHandle` (opened with READ_CONTROL and WRITE_DAC). Returns
// 0 or the code of the first security call that failed. When it succeeds and `previous` is
// given, `previous` receives the security descriptor that holds the DACL as it was.
LONG ApplyAccessEntry(HKEY keyHandle, EXPLICIT_ACCESS_A& entry, ScopedLocalMemory* previous = nullptr);

#include "regperm/access_entry.h"

#include <utility>

LONG ApplyAccessEntry(HKEY keyHandle, EXPLICIT_ACCESS_A& entry, ScopedLocalMemory* previous) {
  PACL currentDacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD readStatus = ::GetSecurityInfo(keyHandle, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                                             nullptr, &currentDacl, nullptr, &descriptor);
  ScopedLocalMemory ownedDescriptor(descriptor);
  if (readStatus != ERROR_SUCCESS) return static_cast<LONG>(readStatus);

  PACL newDacl = nullptr;
  const DWORD mergeStatus = ::SetEntriesInAclA(1, &entry, currentDacl, &newDacl);
  const ScopedLocalMemory ownedNewDacl(newDacl);
  if (mergeStatus != ERROR_SUCCESS) return static_cast<LONG>(mergeStatus);

  const DWORD writeStatus = ::SetSecurityInfo(keyHandle, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                                              nullptr, newDacl, nullptr);
  if (writeStatus != ERROR_SUCCESS) return static_cast<LONG>(writeStatus);
  if (previous != nullptr) *previous = std::move(ownedDescriptor);
  return ERROR_SUCCESS;
}

void SavedDacl::PutBack() const {
  if (!IsSaved()) return;
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!::GetSecurityDescriptorDacl(securityDescriptor_.Get(), &present, &dacl, &defaulted) ||
      !::GetSecurityDescriptorControl(securityDescriptor_.Get(), &control, &revision)) {
    return;
  }
  // Whether the DACL took entries from the parent is part of what is put back (Wine's
  // SetSecurityInfo leaves a DACL unprotected whatever it is told). A key that had no DACL gets
  // none again (a null DACL).
  const SECURITY_INFORMATION protection = (control & SE_DACL_PROTECTED) != 0
                                              ? PROTECTED_DACL_SECURITY_INFORMATION
                                              : UNPROTECTED_DACL_SECURITY_INFORMATION;
  (void)::SetSecurityInfo(key_.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | protection, nullptr, nullptr,
                          present ? dacl : nullptr, nullptr);
}

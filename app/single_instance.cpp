#include "app/single_instance.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "win/system_library.h"

namespace {

constexpr wchar_t kNamespaceName[] = L"KARVELO_QTM-820wide uninstaller";
constexpr char kMutexName[] = "Global\\KARVELO_QTM-820wide uninstaller";
// SYSTEM and the Administrators group may use it, nobody else. Its owner is the group, which only
// a token holding the group as an owner it may assign (an elevated administrator's, SYSTEM's) can
// give an object.
constexpr char kAdministratorsOnly[] = "O:BAD:P(A;;GA;;;SY)(A;;GA;;;BA)";
constexpr int kNamespaceAttempts = 3;

}  // namespace

// The private namespace calls are looked up rather than imported, because a system may offer them
// in name only: Wine 8 exports them all, but AddSIDToBoundaryDescriptor (like the A form of
// CreateBoundaryDescriptor) aborts the process when called, while CreateBoundaryDescriptorW answers
// NULL. So the W form is called first, alone, and only a boundary it gives lets the others be
// called. AddIntegrityLabelToBoundaryDescriptor came with Windows 7; Vista lacks it.
NamespaceCalls NamespaceCalls::OfTheSystem() {
  const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
  NamespaceCalls calls;
  calls.createBoundary = ExportLookup(kernel32, "CreateBoundaryDescriptorW");
  calls.addSid = ExportLookup(kernel32, "AddSIDToBoundaryDescriptor");
  calls.addIntegrityLabel = ExportLookup(kernel32, "AddIntegrityLabelToBoundaryDescriptor");
  calls.deleteBoundary = ExportLookup(kernel32, "DeleteBoundaryDescriptor");
  calls.createNamespace = ExportLookup(kernel32, "CreatePrivateNamespaceW");
  calls.openNamespace = ExportLookup(kernel32, "OpenPrivateNamespaceW");
  calls.closeNamespace = ExportLookup(kernel32, "ClosePrivateNamespace");
  return calls;
}

bool NamespaceCalls::Found() const {
  return createBoundary != nullptr && addSid != nullptr && deleteBoundary != nullptr && createNamespace != nullptr &&
         openNamespace != nullptr && closeNamespace != nullptr;
}

namespace {

bool OwnedByAdministrators(HANDLE object) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const ScopedLocalMemory descriptorMemory(descriptor);
  return owner != nullptr && ::IsWellKnownSid(owner, WinBuiltinAdministratorsSid);
}

// "AddIntegrityLabelToBoundaryDescriptor": a process creates a namespace only at its own integrity
// level or lower, and usually labels it with its own "for protection against squatting attacks by
// lower integrity-level processes". High is the level of an elevated administrator, SYSTEM's is
// above it: an unelevated administrator's medium process (whose Administrators group is for deny
// only) can then neither make it first nor, by its security, open it. A boundary that cannot be
// given the group or the label says nothing, as does a namespace that cannot be made or opened.
bool BoundToAdministratorsAtHighLevel(const NamespaceCalls& calls, HANDLE& boundary) {
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) ||
      !calls.addSid(&boundary, administrators)) {
    return false;
  }
  if (calls.addIntegrityLabel == nullptr) return true;
  BYTE high[SECURITY_MAX_SID_SIZE];
  size = sizeof high;
  return ::CreateWellKnownSid(WinHighLabelSid, nullptr, high, &size) && calls.addIntegrityLabel(&boundary, high);
}

}  // namespace

SingleInstance::~SingleInstance() {
  if (namespace_ != nullptr) (void)calls_.closeNamespace(namespace_, PRIVATE_NAMESPACE_FLAG_DESTROY);
}

// A private namespace whose boundary holds the Administrators group stands for a running copy:
// only a process within the boundary (an elevated administrator, SYSTEM) can make it, whatever
// runs in other sessions; its security lets only SYSTEM and administrators open it; and it lasts
// while the copy that made it holds its handle (once that is closed, it can no longer be opened).
// A copy that finds it made already opens it only to be sure that it is still there, and makes it
// again when it went in between. Where it can be neither made nor opened, the mutex below holds
// the rule instead, so that the rule always holds where this copy could remove anything.
bool SingleInstance::AnotherCopyRuns() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
    return false;
  }
  const ScopedLocalMemory descriptorMemory(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};

  HANDLE boundary = calls_.Found() ? calls_.createBoundary(kNamespaceName, 0) : nullptr;
  if (boundary == nullptr) return AnotherCopyOwnsTheMutex(attributes);
  bool runs = false;
  const bool said = NamespaceSays(attributes, boundary, runs);
  const DWORD why = ::GetLastError();
  calls_.deleteBoundary(boundary);
  if (said) return runs;

  runs = AnotherCopyOwnsTheMutex(attributes);
  note_ = "The private namespace of the one-copy rule could not be labelled, made or opened (error " +
          std::to_string(why) + "): " + (runs                ? "another copy holds the owner-checked mutex"
                   : mutex_.IsValid() ? "the owner-checked mutex holds the rule"
                                      : "nor could the owner-checked mutex be made; it runs without the rule");
  return runs;
}

bool SingleInstance::NamespaceSays(SECURITY_ATTRIBUTES& attributes, HANDLE& boundary, bool& runs) {
  if (!BoundToAdministratorsAtHighLevel(calls_, boundary)) return false;
  for (int attempt = 0; attempt < kNamespaceAttempts; ++attempt) {
    namespace_ = calls_.createNamespace(&attributes, boundary, kNamespaceName);
    if (namespace_ != nullptr) {
      runs = false;
      return true;
    }
    const HANDLE found = calls_.openNamespace(boundary, kNamespaceName);
    if (found != nullptr) {
      (void)calls_.closeNamespace(found, 0);
      runs = true;
      return true;
    }
  }
  return false;
}

// Where private namespaces are missing (under Wine 8) or fail, the rule is a mutex of the global
// namespace, of the name the first releases used, made with the security above. Any account may create a
// mutex there first (the create-global privilege covers file mappings and symbolic links only),
// but only an elevated administrator or SYSTEM can give it the Administrators group as its owner:
// one of the name with any other owner is not a copy of this program, and does not stop it. While
// someone else holds such a one, though, copies of this program do not see each other through it.
bool SingleInstance::AnotherCopyOwnsTheMutex(SECURITY_ATTRIBUTES& attributes) {
  mutex_ = ScopedHandle(::CreateMutexA(&attributes, FALSE, kMutexName));
  const DWORD error = ::GetLastError();
  if (!mutex_.IsValid() || error != ERROR_ALREADY_EXISTS) return false;
  if (OwnedByAdministrators(mutex_.Get())) return true;
  (void)mutex_.Close();
  return false;
}

// Opened only: what it finds stays the other copy's, and no copy started meanwhile finds it made.
// The other copy holds the namespace, or the mutex where the namespace failed it.
bool AnotherCopyHoldsTheRule(const NamespaceCalls& calls) {
  HANDLE boundary = calls.Found() ? calls.createBoundary(kNamespaceName, 0) : nullptr;
  if (boundary != nullptr) {
    const HANDLE found =
        BoundToAdministratorsAtHighLevel(calls, boundary) ? calls.openNamespace(boundary, kNamespaceName) : nullptr;
    calls.deleteBoundary(boundary);
    if (found != nullptr) {
      (void)calls.closeNamespace(found, 0);
      return true;
    }
  }
  const ScopedHandle mutex(::OpenMutexA(READ_CONTROL | SYNCHRONIZE, FALSE, kMutexName));
  return mutex.IsValid() && OwnedByAdministrators(mutex.Get());
}

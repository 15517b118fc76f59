#include "app/single_instance.h"

#include <aclapi.h>
#include <sddl.h>

#include <functional>

#include "win/system_library.h"

namespace {

constexpr wchar_t kNamespaceName[] = L"KARVELO_QTM-820wide uninstaller";
constexpr char kMutexName[] = "Global\\KARVELO_QTM-820wide uninstaller";
// SYSTEM and the Administrators group may use it, nobody else. Its owner is the group, which only
// a token holding the group as an owner it may assign (an elevated administrator's, SYSTEM's) can
// give an object.
constexpr char kAdministratorsOnly[] = "O:BAD:P(A;;GA;;;SY)(A;;GA;;;BA)";
constexpr int kNamespaceAttempts = 3;

using CreateBoundaryFunction = HANDLE WINAPI(LPCWSTR, ULONG);
using AddSidFunction = BOOL WINAPI(HANDLE*, PSID);
using DeleteBoundaryFunction = VOID WINAPI(HANDLE);
using CreateNamespaceFunction = HANDLE WINAPI(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
using OpenNamespaceFunction = HANDLE WINAPI(LPVOID, LPCWSTR);

// The private namespace calls came with Windows Vista. They are looked up rather than imported,
// because a system may offer them in name only: Wine 8 exports them all, but
// AddSIDToBoundaryDescriptor (like the A form of CreateBoundaryDescriptor) aborts the process when
// called, while CreateBoundaryDescriptorW answers NULL. So the W form is called first, alone, and
// only a boundary it gives lets the others be called.
struct NamespaceCalls {
  CreateBoundaryFunction* createBoundary;
  AddSidFunction* addSid;
  DeleteBoundaryFunction* deleteBoundary;
  CreateNamespaceFunction* createNamespace;
  OpenNamespaceFunction* openNamespace;
  SingleInstance::CloseNamespaceFunction* closeNamespace;

  bool Found() const {
    return createBoundary != nullptr && addSid != nullptr && deleteBoundary != nullptr &&
           createNamespace != nullptr && openNamespace != nullptr && closeNamespace != nullptr;
  }
};

NamespaceCalls FindNamespaceCalls() {
  const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
  return {ExportLookup(kernel32, "CreateBoundaryDescriptorW"), ExportLookup(kernel32, "AddSIDToBoundaryDescriptor"),
          ExportLookup(kernel32, "DeleteBoundaryDescriptor"),  ExportLookup(kernel32, "CreatePrivateNamespaceW"),
          ExportLookup(kernel32, "OpenPrivateNamespaceW"),     ExportLookup(kernel32, "ClosePrivateNamespace")};
}

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

// Calls `use` with a boundary that holds the Administrators group, where one can be made; false
// where the private namespace calls are missing, so that the mutex stands in for the namespace.
bool WithAdministratorsBoundary(const std::function<void(const NamespaceCalls&, HANDLE)>& use) {
  const NamespaceCalls calls = FindNamespaceCalls();
  HANDLE boundary = calls.Found() ? calls.createBoundary(kNamespaceName, 0) : nullptr;
  if (boundary == nullptr) return false;
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  if (::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
      calls.addSid(&boundary, administrators)) {
    use(calls, boundary);
  }
  calls.deleteBoundary(boundary);
  return true;
}

}  // namespace

SingleInstance::~SingleInstance() {
  if (namespace_ != nullptr) (void)closeNamespace_(namespace_, PRIVATE_NAMESPACE_FLAG_DESTROY);
}

// A private namespace whose boundary holds the Administrators group stands for a running copy:
// only a process within the boundary (an elevated administrator, SYSTEM) can make it, whatever
// runs in other sessions; its security lets only SYSTEM and administrators open it; and it lasts
// while the copy that made it holds its handle (once that is closed, it can no longer be opened).
// A copy that finds it made already opens it only to be sure that it is still there, and makes it
// again when it went in between. Neither made nor found, the process is not within the boundary:
// not elevated, it runs without the rule (and can remove nothing anyway).
bool SingleInstance::AnotherCopyRuns() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
    return false;
  }
  const ScopedLocalMemory descriptorMemory(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};

  bool runs = false;
  const bool namespaces = WithAdministratorsBoundary([&](const NamespaceCalls& calls, HANDLE boundary) {
    for (int attempt = 0; attempt < kNamespaceAttempts; ++attempt) {
      namespace_ = calls.createNamespace(&attributes, boundary, kNamespaceName);
      if (namespace_ != nullptr) {
        closeNamespace_ = calls.closeNamespace;
        return;
      }
      const HANDLE found = calls.openNamespace(boundary, kNamespaceName);
      if (found != nullptr) {
        (void)calls.closeNamespace(found, 0);
        runs = true;
        return;
      }
    }
  });
  return namespaces ? runs : AnotherCopyOwnsTheMutex(attributes);
}

// Opened only: what it finds stays the other copy's, and no copy started meanwhile finds it made.
bool AnotherCopyHoldsTheRule() {
  bool runs = false;
  const bool namespaces = WithAdministratorsBoundary([&](const NamespaceCalls& calls, HANDLE boundary) {
    const HANDLE found = calls.openNamespace(boundary, kNamespaceName);
    if (found == nullptr) return;
    (void)calls.closeNamespace(found, 0);
    runs = true;
  });
  if (namespaces) return runs;
  const ScopedHandle mutex(::OpenMutexA(READ_CONTROL | SYNCHRONIZE, FALSE, kMutexName));
  return mutex.IsValid() && OwnedByAdministrators(mutex.Get());
}

// Where private namespaces are missing (under Wine 8), the rule is a mutex of the global namespace,
// of the name the first releases used, made with the security above. Any account may create a
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

#pragma once

#include <windows.h>

#include <string>

#include "win/unique_handle.h"

// The private namespace calls, which came with Windows Vista (the integrity label with Windows 7),
// looked up at run time. Null where the system lacks one. A test stands in for them: Wine 8 lacks
// them all.
struct NamespaceCalls {
  using CreateBoundary = HANDLE WINAPI(LPCWSTR, ULONG);
  using AddSid = BOOL WINAPI(HANDLE*, PSID);
  using DeleteBoundary = VOID WINAPI(HANDLE);
  using CreateNamespace = HANDLE WINAPI(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
  using OpenNamespace = HANDLE WINAPI(LPVOID, LPCWSTR);
  using CloseNamespace = BOOLEAN WINAPI(HANDLE, ULONG);

  CreateBoundary* createBoundary = nullptr;
  AddSid* addSid = nullptr;
  AddSid* addIntegrityLabel = nullptr;
  DeleteBoundary* deleteBoundary = nullptr;
  CreateNamespace* createNamespace = nullptr;
  OpenNamespace* openNamespace = nullptr;
  CloseNamespace* closeNamespace = nullptr;

  static NamespaceCalls OfTheSystem();
  bool Found() const;
};

// One uninstaller at a time on a machine: two removing the same package at once would each find
// the other's half-removed state. What says "a copy runs" must be seen from every session (a
// deployment tool's copy runs in session 0, a technician's on the desktop), and must be something
// only an administrator or SYSTEM can make: anything that any account can make first, a
// cashier's say, would keep every run from removing anything, for ever.
class SingleInstance {
 public:
  explicit SingleInstance(const NamespaceCalls& calls = NamespaceCalls::OfTheSystem()) : calls_(calls) {}
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another copy runs; otherwise this copy holds the rule from now on, where it can.
  bool AnotherCopyRuns();

  // For the log, where the system offers the private namespace but it did not hold the rule: which
  // rule held instead, or that none did. Empty otherwise.
  const std::string& Note() const { return note_; }

 private:
  bool AnotherCopyOwnsTheMutex(SECURITY_ATTRIBUTES& attributes);
  // True or false when the namespace says whether another copy runs; nothing when it can say
  // neither (the last error tells why).
  bool NamespaceSays(SECURITY_ATTRIBUTES& attributes, HANDLE& boundary, bool& runs);

  NamespaceCalls calls_;
  // The private namespace this copy made.
  HANDLE namespace_ = nullptr;
  ScopedHandle mutex_;
  std::string note_;
};

// Whether another copy holds the rule now, looked at without taking it: a check, which changes
// nothing, must not keep a removal started meanwhile from running.
bool AnotherCopyHoldsTheRule(const NamespaceCalls& calls = NamespaceCalls::OfTheSystem());

#pragma once

#include <windows.h>

#include "win/unique_handle.h"

// One uninstaller at a time on a machine: two removing the same package at once would each find
// the other's half-removed state. What says "a copy runs" must be seen from every session (a
// deployment tool's copy runs in session 0, a technician's on the desktop), and must be something
// only an administrator or SYSTEM can make: anything that any account can make first, a
// cashier's say, would keep every run from removing anything, for ever.
class SingleInstance {
 public:
  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another copy runs; otherwise this copy holds the rule from now on, where it can.
  bool AnotherCopyRuns();

  using CloseNamespaceFunction = BOOLEAN WINAPI(HANDLE, ULONG);

 private:
  bool AnotherCopyOwnsTheMutex(SECURITY_ATTRIBUTES& attributes);

  // The private namespace this copy made, and the call that closes it.
  HANDLE namespace_ = nullptr;
  CloseNamespaceFunction* closeNamespace_ = nullptr;
  ScopedHandle mutex_;
};

// Whether another copy holds the rule now, looked at without taking it: a check, which changes
// nothing, must not keep a removal started meanwhile from running.
bool AnotherCopyHoldsTheRule();

#pragma once

#include "win/unique_handle.h"

// One uninstaller at a time on a machine: two removing the same package at once would each find
// the other's half-removed state. The first copy holds a named mutex of the global namespace, which
// every session sees (a deployment tool's copy runs in session 0, a technician's on the desktop),
// until it ends.
class SingleInstance {
 public:
  // True when another copy holds the mutex; otherwise this copy holds it from now on.
  bool AnotherCopyRuns();

 private:
  ScopedHandle mutex_;
};

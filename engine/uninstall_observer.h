#pragma once

// Whoever watches an uninstall: the dialog, a log, or both. The engine tells it each phase as it
// begins and each step once it is done, on the thread the uninstall runs on.

#include <string>

#include "removal/removal_result.h"

class UninstallObserver {
 public:
  // A phase begins; `status` is its status text as the dialog shows it. The phase's work starts
  // once this returns, so a watcher that shows the status can hold it on screen here.
  virtual void PhaseStarted(const std::string& status) = 0;
  // A step of the removal has been done.
  virtual void StepDone(const std::string& step, const RemovalResult& result) = 0;

 protected:
  ~UninstallObserver() = default;
};

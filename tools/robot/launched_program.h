#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "win/unique_handle.h"

// A program started by a tool or test; ends it (by its own handle) if it is still running when the
// object goes, so that no test leaves a process behind.
class LaunchedProgram {
 public:
  // Starts commandLine with the given current directory (empty: ours), under `token` when one is
  // given (else as this process's user), on `desktop` ("station\\desktop"; empty: ours), with
  // `output` as its standard output when one is given (an inheritable handle). False if it did not
  // start.
  bool Start(const std::string& commandLine, const std::string& currentDirectory = std::string(),
             HANDLE token = nullptr, const std::string& desktop = std::string(), HANDLE output = nullptr);
  // Follows a program that something else started; it is left running when this object goes.
  bool Attach(DWORD processId);
  ~LaunchedProgram();

  DWORD ProcessId() const { return processId_; }
  HANDLE ProcessHandle() const { return process_.Get(); }
  bool IsRunning() const;

  // The exit code once the program has ended within the time; nothing if it is still running.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);

 private:
  ScopedHandle process_;
  DWORD processId_ = 0;
  bool startedHere_ = false;
};

// This process's token with one privilege taken out for good, for starting a program as a user
// who does not hold it. Invalid when the system refuses.
ScopedHandle TokenWithoutPrivilege(const char* privilegeName);

// The folder this program was started from, with a trailing backslash.
std::string OwnFolder();

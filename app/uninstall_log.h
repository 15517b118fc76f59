#pragma once

// The plain-text record of a run, for the deployment tools that collect it: a header for each run,
// then a line for each phase and each step as it is done, and how the run ended. Every line is
// written at once, so that a run ended half-way leaves its record up to there. Of the user's
// environment it holds nothing but the computer's name and the command line.

#include <windows.h>

#include <string>
#include <vector>

#include "engine/installation_scan.h"
#include "engine/model_look.h"
#include "engine/uninstall_observer.h"
#include "win/log_file.h"

// Where the silent mode writes its log unless told otherwise: a folder of the Windows directory,
// where only administrators and SYSTEM can create files. Empty when the system cannot name it.
std::string DefaultLogPath();

class UninstallLog : public UninstallObserver {
 public:
  // Every line from now on goes to `output` as well (standard output, say), as it goes to the file.
  void EchoTo(HANDLE output) { echo_ = output; }

  // Opens the file for appending (refusing links, see LogFile) and writes the run's header, to the
  // echo as well; with no path, to the echo alone. ERROR_SUCCESS, or why no file will be written.
  DWORD Open(const std::string& path, const char* commandLine);

  void PhaseStarted(const std::string& status) override;
  void StepDone(const std::string& step, const RemovalResult& result) override;

  void Scanned(const ScanFindings& findings);
  // A line of its own.
  void Note(const std::string& text);
  // A line for each thing that a run left of what it was to remove.
  void Remaining(const std::vector<std::string>& items);
  // A line for each thing a look found: what is there, what goes at the restart, and what could
  // not be looked at.
  void Found(const std::vector<Finding>& findings);
  // The exit code, and what it means.
  void Finished(DWORD exitCode);
  void Finished(DWORD exitCode, const std::string& meaning);

 private:
  void Line(const std::string& text);
  void Write(const std::string& text);

  LogFile file_;
  HANDLE echo_ = nullptr;
};

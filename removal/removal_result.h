#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What a removal achieved, for whoever keeps a record of the run. Removing what is not there (any
// more) succeeds: the aim is that it is gone.
struct RemovalResult {
  RemovalResult() = default;
  // The outcome of a single call: its Windows error code.
  explicit RemovalResult(DWORD status) : error(status) {}

  // The Windows error code of the first thing that could not be removed; ERROR_SUCCESS when
  // everything the removal looked for is gone or goes at the next restart.
  DWORD error = ERROR_SUCCESS;
  // Something that was in use goes only at the next restart.
  bool atRestart = false;
  // What the removal left where it was on purpose, and why, for the record of the run.
  std::vector<std::string> notes;

  bool Succeeded() const { return error == ERROR_SUCCESS; }
  void Note(std::string text) { notes.push_back(std::move(text)); }

  // Keeps the first failure, the one a record of the run reports; a failing call that left no
  // reason counts as a general failure.
  void Fail(DWORD code) {
    if (error == ERROR_SUCCESS) error = code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE;
  }
  // The same for a failed call whose reason is the thread's last error.
  void FailWithLastError() { Fail(::GetLastError()); }
  // A deletion's status (a registry status or a last error): missing is as good as deleted, and so
  // is a name that cannot name anything.
  void FailUnlessGone(DWORD status) {
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && status != ERROR_PATH_NOT_FOUND &&
        status != ERROR_INVALID_NAME) {
      Fail(status);
    }
  }
  void Add(const RemovalResult& other) {
    if (!other.Succeeded()) Fail(other.error);
    atRestart = atRestart || other.atRestart;
    notes.insert(notes.end(), other.notes.begin(), other.notes.end());
  }
};

// Where an operation made of several steps tells how each went, by the step's name, as it goes.
using ReportStep = std::function<void(const std::string& step, const RemovalResult& result)>;

// Tells `report`, where there is one, how a step went.
inline void ReportTo(const ReportStep& report, const std::string& step, const RemovalResult& result) {
  if (report) report(step, result);
}

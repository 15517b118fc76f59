#pragma once

// One run of the uninstaller under the robot's hands: start it, wait for its dialog and its scan,
// then follow it to its end while recording what it showed and answering its message boxes.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/robot/launched_program.h"
#include "tools/robot/robot.h"

namespace robot {

struct MessageBoxSeen {
  MessageBoxInfo box;
  int answer = 0;
  // The progress bar's position while the box was open (the program answers queries then).
  std::optional<int> progress;
};

struct StatusSeen {
  std::string text;
  // How full the progress bar was on screen when the text appeared, in percent; nothing when
  // the empty bar was never seen to compare with.
  std::optional<int> progressPercent;
};

struct RunRecord {
  std::vector<StatusSeen> statuses;  // each change of the status line, in order
  std::vector<MessageBoxSeen> messageBoxes;
  std::optional<DWORD> exitCode;     // nothing if the program did not end in time

  std::vector<std::string> StatusTexts() const;
};

// Chooses the button to press in a message box.
using BoxAnswerer = std::function<int(const MessageBoxInfo&)>;

// "Yes", "No", "OK"... for a message box button id.
std::string ButtonName(int id);

// Answers a yes/no question with `yesNo` and any other box with its only (or OK) button.
BoxAnswerer AnswerQuestionsWith(int yesNo);

class UninstallSession {
 public:
  // Starts the program and waits until its dialog is on screen, or a message box is, or it ended.
  bool Start(const std::string& commandLine, DWORD timeoutMs,
             const std::string& currentDirectory = std::string(), HANDLE token = nullptr);
  // Finds the dialog of an uninstaller that something else started, and follows that program.
  bool Attach(DWORD timeoutMs);

  // Called with a line of text for every status change, message box and answer, as they happen
  // (a restart may end this process before RunToEnd returns).
  void ReportEventsTo(std::function<void(const std::string&)> report) { report_ = std::move(report); }

  LaunchedProgram& Program() { return program_; }
  // The dialog, once it has been seen.
  DialogRobot* Dialog() { return dialog_ ? &*dialog_ : nullptr; }

  // Waits until the scan has had its effect: lines listed, the sequence started, a message box,
  // or the end of the program. When the dialog then waits for the user, the robot takes note of
  // how the empty progress bar looks.
  bool WaitForScan(DWORD timeoutMs);

  // Ticks the lines with these texts (all lines when `lines` is empty); false if a line is missing
  // or did not take its tick.
  bool Tick(const std::vector<std::string>& lines, DWORD timeoutMs = 5000);

  // Follows the program until it ends, recording each status change and answering each box.
  RunRecord RunToEnd(const BoxAnswerer& answer, DWORD timeoutMs);

 private:
  LaunchedProgram program_;
  std::optional<DialogRobot> dialog_;
  std::vector<std::uint8_t> emptyProgressRow_;
  RunRecord record_;
  std::function<void(const std::string&)> report_;
};

}  // namespace robot

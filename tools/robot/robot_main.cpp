// robot: uses the uninstaller like a person and prints what it sees as it happens.
//
//   robot [--tick-all] [--tick <line>]... [--uninstall | --cancel] [--restart yes|no]
//         [--screenshot <file.png>] [--timeout <seconds>] (<uninstaller.exe> | --attach)
//
// With --attach it works an uninstaller that is already running instead of starting one. Ends
// with the uninstaller's exit code, or 2 when it could not do what it was asked.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tools/robot/uninstall_session.h"

namespace {

struct Options {
  bool tickAll = false;
  std::vector<std::string> ticks;
  bool uninstall = false;
  bool cancel = false;
  int restartAnswer = IDNO;
  std::string screenshot;
  DWORD timeoutMs = 120000;
  bool attach = false;
  std::string program;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--tick-all") {
      options.tickAll = true;
    } else if (arg == "--tick" && hasValue) {
      options.ticks.push_back(argv[++i]);
    } else if (arg == "--uninstall") {
      options.uninstall = true;
    } else if (arg == "--cancel") {
      options.cancel = true;
    } else if (arg == "--restart" && hasValue) {
      options.restartAnswer = std::string(argv[++i]) == "yes" ? IDYES : IDNO;
    } else if (arg == "--screenshot" && hasValue) {
      options.screenshot = argv[++i];
    } else if (arg == "--timeout" && hasValue) {
      options.timeoutMs = static_cast<DWORD>(std::atoi(argv[++i])) * 1000;
    } else if (arg == "--attach") {
      options.attach = true;
    } else if (arg.rfind("--", 0) != 0 && options.program.empty()) {
      options.program = arg;
    } else {
      return false;
    }
  }
  return options.attach != !options.program.empty();
}

int Fail(const char* what) {
  std::printf("robot: %s\n", what);
  return 2;
}

void Report(const std::string& line) { std::printf("%s\n", line.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  // Every line goes out at once: a restart the robot agrees to may end it any moment.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::printf("usage: robot [--tick-all] [--tick <line>]... [--uninstall | --cancel] "
                "[--restart yes|no] [--screenshot <file.png>] [--timeout <seconds>] "
                "(<program.exe> | --attach)\n");
    return 2;
  }
  robot::UninstallSession session;
  session.ReportEventsTo(&Report);
  const bool found = options.attach ? session.Attach(options.timeoutMs)
                                    : session.Start("\"" + options.program + "\"", options.timeoutMs);
  if (!found) return Fail("no uninstaller came up");
  if (!session.WaitForScan(options.timeoutMs)) return Fail("the scan did not finish");

  if (robot::DialogRobot* dialog = session.Dialog()) {
    std::printf("dialog: \"%s\"\n", dialog->Caption().c_str());
    if (const auto lines = dialog->ListLines(IDC_PRINTER_LIST)) {
      std::printf("printers listed: %u\n", static_cast<unsigned>(lines->size()));
      for (const std::string& line : *lines) std::printf("  [ ] %s\n", line.c_str());
    }
    if (!options.screenshot.empty() && dialog->SaveScreenshot(options.screenshot)) {
      std::printf("screenshot: %s\n", options.screenshot.c_str());
    }
    if (options.tickAll || !options.ticks.empty()) {
      if (!session.Tick(options.tickAll ? std::vector<std::string>() : options.ticks)) {
        return Fail("a line could not be ticked");
      }
      std::printf("ticked: %s\n", options.tickAll ? "every printer" : "the printers asked for");
    }
    if (options.uninstall) {
      if (!robot::WaitUntil([&] { return dialog->PressButton(IDC_UNINSTALL); }, 5000)) {
        return Fail("Uninstall stayed disabled");
      }
      std::printf("pressed: Uninstall\n");
    } else if (options.cancel) {
      if (!dialog->PressButton(IDCANCEL)) return Fail("Cancel is disabled");
      std::printf("pressed: Cancel\n");
    }
  }

  const robot::RunRecord record =
      session.RunToEnd(robot::AnswerQuestionsWith(options.restartAnswer), options.timeoutMs);
  for (const robot::StatusSeen& status : record.statuses) {
    if (status.progressPercent) {
      std::printf("progress bar at \"%s\": %d%%\n", status.text.c_str(), *status.progressPercent);
    }
  }
  if (!record.exitCode) return Fail("the program did not end");
  std::printf("exit code: %lu\n", static_cast<unsigned long>(*record.exitCode));
  return static_cast<int>(*record.exitCode);
}

#include "app/command_line.h"

#include <cstring>
#include <initializer_list>

namespace {

bool IsSwitch(const std::string& argument) {
  return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
}

// Letters compared as ASCII letters: a locale's own case rules (the Turkish dotted and dotless
// i) must not turn "/QUIET" into something else.
bool NamedOneOf(const std::string& name, std::initializer_list<const char*> names) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (const char* candidate : names) {
    if (name.size() != std::strlen(candidate)) continue;
    size_t i = 0;
    while (i < name.size() && lower(name[i]) == candidate[i]) ++i;
    if (i == name.size()) return true;
  }
  return false;
}

bool IsQuiet(const std::string& name) { return NamedOneOf(name, {"quiet", "q", "qn", "s", "silent", "verysilent"}); }

// Switches that ask for what the silent mode does anyway.
bool IsAcceptedAsIs(const std::string& name) { return NamedOneOf(name, {"norestart", "suppressmsgboxes"}); }

bool IsHelp(const std::string& name) { return NamedOneOf(name, {"?", "help"}); }

bool IsCheck(const std::string& name) { return NamedOneOf(name, {"check"}); }

bool IsLog(const std::string& name) { return NamedOneOf(name, {"log"}); }

// "/log=FILE" and "/log:FILE", as other installers spell it, as well as "/log FILE".
bool SplitLogWithName(const std::string& name, std::string& path) {
  if (name.size() < 4 || (name[3] != '=' && name[3] != ':') || !IsLog(name.substr(0, 3))) return false;
  path = name.substr(4);
  return true;
}

bool IsKnownSwitch(const std::string& argument) {
  if (!IsSwitch(argument)) return false;
  const std::string name = argument.substr(1);
  std::string path;
  return IsQuiet(name) || IsAcceptedAsIs(name) || IsHelp(name) || IsCheck(name) || IsLog(name) ||
         SplitLogWithName(name, path);
}

}  // namespace

CommandLine ParseCommandLine(int count, const char* const* arguments) {
  CommandLine line;
  const auto note = [&](const std::string& problem) {
    if (line.problem.empty()) line.problem = problem;
  };
  for (int i = 0; i < count; ++i) {
    const std::string argument = arguments[i] != nullptr ? arguments[i] : "";
    if (!IsSwitch(argument)) {
      note("unknown argument \"" + argument + "\"");
      continue;
    }
    const std::string name = argument.substr(1);
    std::string path;
    if (IsQuiet(name)) {
      line.quiet = true;
    } else if (IsHelp(name)) {
      line.help = true;
    } else if (IsCheck(name)) {
      line.check = true;
    } else if (IsAcceptedAsIs(name)) {
      continue;
    } else if (IsLog(name)) {
      // A switch of ours right after it means the name was left out.
      if (i + 1 < count && arguments[i + 1] != nullptr && arguments[i + 1][0] != '\0' &&
          !IsKnownSwitch(arguments[i + 1])) {
        line.logPath = arguments[++i];
      } else {
        note(argument + " without a file name");
      }
    } else if (SplitLogWithName(name, path)) {
      if (path.empty()) {
        note(argument + " without a file name");
      } else {
        line.logPath = path;
      }
    } else {
      note("unknown switch \"" + argument + "\"");
    }
  }
  return line;
}

const char USAGE_TEXT[] =
    "Usage: qtm820wide_uninstall.exe [/quiet] [/norestart] [/log <file>]\n"
    "       qtm820wide_uninstall.exe /check [/quiet] [/log <file>]\n"
    "\n"
    "Without arguments the uninstaller shows its dialog: tick the printers to remove. Started where no "
    "window can be seen (by a service, in session 0), it runs as with /quiet.\n"
    "\n"
    "/quiet\tNo window and no message box: removes every printer of the model and, with them, "
    "the whole driver package. Never restarts Windows. Also /q, /qn, /s, /silent, /verysilent.\n"
    "/norestart\tAccepted; the silent mode never restarts Windows.\n"
    "/log <file>\tAppends a plain-text log of the run to the file. With /quiet a log is always "
    "written, by default to %SystemRoot%\\Logs\\KARVELO_QTM-820wide_uninstall.log.\n"
    "/check\tRemoves nothing and changes nothing: tells what of the model is on this computer, in a "
    "message box (none with /quiet or where no window can be seen), on standard output where it has one, "
    "and in the log where /log names one. Exit code 0: nothing of the model; 1: something of it; 1603: "
    "the printers cannot be listed; 1618, 1633 and 1639 as below.\n"
    "/?\tShows this help.\n"
    "\n"
    "Exit codes:\n"
    "0\tdone, also when nothing of the model was installed\n"
    "3010\tdone; Windows must restart to complete the removal\n"
    "1603\tfailed: something of the model is still there (the log names it), or the printers could not be listed\n"
    "1618\tanother copy of the uninstaller is running; nothing was removed\n"
    "1633\t64-bit Windows; nothing was removed\n"
    "1639\tinvalid command line with /quiet or /check; nothing was removed\n"
    "\n"
    "Example: qtm820wide_uninstall.exe /quiet /norestart /log C:\\Windows\\Logs\\qtm820wide.log";

#pragma once

// The command line: none at all for the dialog, or the switches a software deployment tool passes,
// in the spellings administrators know from other installers. A switch begins with "/" or "-"
// and is told apart ignoring case.

#include <optional>
#include <string>

struct CommandLine {
  // No window and no message box: everything of the model is removed, and Windows never restarts.
  bool quiet = false;
  // Only a look at what of the model is on the machine: nothing is removed, whatever else the
  // command line holds.
  bool check = false;
  // The usage is asked for.
  bool help = false;
  // Where the log goes; with `quiet` and none given, to the default place.
  std::optional<std::string> logPath;
  // What could not be understood, for the log; empty when everything could. Without `quiet` the
  // program goes on as if it had not been given, since an installer may have recorded the
  // uninstall command with arguments of its own.
  std::string problem;

  // Only a command line that asks for the silent mode or the check itself is held to what it says:
  // started unseen, the program runs silently whatever it was given, as it would have shown its
  // dialog; no installer records a check as the uninstall command.
  bool Refused() const { return (quiet || check) && !problem.empty(); }
};

// `arguments` are the program's arguments without its own name.
CommandLine ParseCommandLine(int count, const char* const* arguments);

// What the usage says: the switches, where the log goes and the exit codes.
extern const char USAGE_TEXT[];

#pragma once

// The command line: none at all for the dialog, or the switches a software deployment tool passes,
// in the spellings administrators know from other installers. A switch begins with "/" or "-"
// and is told apart ignoring case.

#include <optional>
#include <string>

struct CommandLine {
  // No window and no message box: everything of the model is removed, and Windows never restarts.
  bool quiet = false;
  // The usage is asked for.
  bool help = false;
  // Where the log goes; with `quiet` and none given, to the default place.
  std::optional<std::string> logPath;
  // What could not be understood, for the log; empty when everything could. Without `quiet` the
  // program goes on as if it had not been given, since an installer may have recorded the
  // uninstall command with arguments of its own.
  std::string problem;

  // Only a command line that asks for the silent mode itself is held to what it says: started
  // unseen, the program runs silently whatever it was given, as it would have shown its dialog.
  bool Refused() const { return quiet && !problem.empty(); }
};

// `arguments` are the program's arguments without its own name.
CommandLine ParseCommandLine(int count, const char* const* arguments);

// What the usage says: the switches, where the log goes and the exit codes.
extern const char USAGE_TEXT[];

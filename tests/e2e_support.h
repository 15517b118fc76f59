#pragma once

// What the end-to-end tests share: the uninstaller beside them, staging in this prefix, and
// looks at the state the uninstaller leaves.

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/stager/installation.h"

// The command line that starts the uninstaller built beside the test.
std::string UninstallerCommandLine();

// The desktop of a window station without WSF_VISIBLE, as a service's, made once for the test
// program; null when the system refused. A program started there can show nothing that anyone
// could see or answer.
HDESK UnseenDesktop();

// How the uninstaller ended when started unseen, as a deployment tool starts it.
struct WatchedRun {
  std::optional<DWORD> exitCode;  // nothing if it did not end in time, or showed a window
  bool windowShown = false;
  // What it wrote to its standard output, a pipe read all along.
  std::string output;
};

// Starts the uninstaller with these arguments and looks for a visible window of it every few
// milliseconds until it ends, or shows one, or the time is up. Started on the unseen desktop,
// where no window is ever visible, any dialog or message box of it there counts as shown.
WatchedRun RunUninstallerWatched(const std::string& arguments, DWORD timeoutMs = 180000, bool unseen = false);

// The lines of the text, without their line ends or the times a log line begins with.
std::vector<std::string> LinesOf(const std::string& text);

// The whole content of a file; empty when it cannot be read.
std::string FileText(const std::string& path);

// The lines of the uninstaller's log's last run after its header, without their times.
std::vector<std::string> LastRunOfLog(const std::string& path);
// The header line of the log's last run; empty when there is none.
std::string LastHeaderOfLog(const std::string& path);

// The steps that the log's last run reports as failed, by name, in order.
std::vector<std::string> FailedStepsOfLog(const std::string& path);
// What the log's last run reports left on the machine, in order.
std::vector<std::string> LeftOnTheMachineInLog(const std::string& path);

// Stages the installation, or explains in the test's failure why it could not.
[[nodiscard]] bool StageForTest(const stager::Installation& installation);

std::set<std::string> InstalledPrinterNames();
// A printer named and using a driver named in Unicode, for names that no ANSI name spells.
void StagePrinterNamedInUnicode(const std::wstring& name, const std::wstring& driver);
bool ModelDriverInstalled();

// The settings key of this name (as the driver spells it) below the driver's settings root.
bool SettingsKeyExists(const std::string& keyName);
bool UninstallKeyExists();

// Takes every right on the key below HKEY_LOCAL_MACHINE from everyone, the spooler included where
// it reads the key in the calling program's own process.
[[nodiscard]] bool DenyEveryoneEveryRight(const std::string& key);

#include "app/uninstall_app.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/installation_check.h"
#include "app/silent_uninstall.h"
#include "app/single_instance.h"
#include "app/uninstall_dialog.h"
#include "app/uninstall_log.h"
#include "identity/target_identity.h"
#include "win/window_station.h"
#include "win/wow64.h"

CUninstallerApp theApp;

namespace {

// The program is 32-bit, as the driver package is. On 64-bit Windows it runs under WOW64, where
// HKLM\SOFTWARE is redirected to Wow6432Node, the system directory to SysWOW64, the spooler's
// default environment is "Windows NT x86" and the device installer refuses removals asked for by
// 32-bit callers: it would delete the printers, miss most of the package and still report success.
// So it refuses there before it changes anything.
void RefuseOn64BitWindows() {
  const std::string text = std::string("This uninstaller is for 32-bit Windows only. This computer runs 64-bit "
                                       "Windows, where it cannot remove the ") +
                           DRIVER_NAME + " driver package.\n\nNothing was removed.";
  (void)::MessageBoxA(nullptr, text.c_str(), APP_TITLE, MB_OK | MB_ICONEXCLAMATION);
}

// The other copy's dialog, where it is on this desktop, comes to the front; a copy without one (a
// deployment tool's, in another session or silent) is named in a message.
void PointToTheOtherCopy() {
  const HWND other = ::FindWindowA("#32770", APP_TITLE);
  if (other != nullptr) {
    if (::IsIconic(other)) (void)::ShowWindow(other, SW_RESTORE);
    (void)::SetForegroundWindow(other);
    return;
  }
  const std::string text = std::string("The ") + APP_TITLE +
                           " is already running on this computer.\n\nWait until it has finished; nothing was "
                           "changed here.";
  (void)::MessageBoxA(nullptr, text.c_str(), APP_TITLE, MB_OK | MB_ICONINFORMATION);
}

// With the dialog: the design's program, with a log beside it when one is asked for.
DWORD RunWithDialog(const CommandLine& line) {
  if (line.help) {
    (void)::MessageBoxA(nullptr, USAGE_TEXT, APP_TITLE, MB_OK | MB_ICONINFORMATION);
    return ERROR_SUCCESS;
  }
  if (RunsUnderWow64()) {
    RefuseOn64BitWindows();
    return ERROR_SUCCESS;
  }
  SingleInstance instance;
  if (instance.AnotherCopyRuns()) {
    PointToTheOtherCopy();
    return ERROR_INSTALL_ALREADY_RUNNING;
  }
  UninstallLog log;
  const bool logged = line.logPath && log.Open(*line.logPath, ::GetCommandLineA()) == ERROR_SUCCESS;
  if (logged && !instance.Note().empty()) log.Note(instance.Note());

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  (void)::InitCommonControlsEx(&controls);

  CUninstallDlg dialog(nullptr, logged ? &log : nullptr);
  (void)dialog.DoModal();
  log.Finished(ERROR_SUCCESS);
  return ERROR_SUCCESS;
}

// Says in the log which rule held where it was not the private namespace that the system offers.
bool AnotherCopyRuns(SingleInstance& instance, UninstallLog& log) {
  const bool runs = instance.AnotherCopyRuns();
  if (!instance.Note().empty()) log.Note(instance.Note());
  return runs;
}

// Without any window: everything is written to the log instead, whose own failure stops nothing.
// `unseen`: not asked for, but nobody could see a window.
DWORD RunQuietly(const CommandLine& line, bool unseen) {
  // Nor a message box of the system's own (a drive that is not ready, say): nobody would answer it.
  (void)::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  UninstallLog log;
  (void)log.Open(line.logPath ? *line.logPath : DefaultLogPath(), ::GetCommandLineA());
  if (unseen) log.Note("No window can be seen here (a service's window station, or session 0): it runs as with /quiet");
  DWORD exitCode = ERROR_SUCCESS;
  SingleInstance instance;
  if (line.Refused()) {
    log.Note("The command line is not understood: " + line.problem);
    exitCode = ERROR_INVALID_COMMAND_LINE;
  } else if (line.help) {
    log.Note("The usage was asked for; nothing was removed");
  } else if (RunsUnderWow64()) {
    exitCode = ERROR_INSTALL_PLATFORM_UNSUPPORTED;
  } else if (AnotherCopyRuns(instance, log)) {
    exitCode = ERROR_INSTALL_ALREADY_RUNNING;
  } else {
    exitCode = UninstallSilently(log);
  }
  log.Finished(exitCode);
  return exitCode;
}

}  // namespace

BOOL CUninstallerApp::InitInstance() {
  const CommandLine line = ParseCommandLine(__argc - 1, __argv + 1);
  const bool seen = WindowsCanBeSeen();
  // Unseen, a check stays a check: only the removal is what an unseen run does whatever it is told.
  if (line.check) {
    SetExitCode(static_cast<int>(CheckTheMachine(line, seen && !line.quiet)));
    return FALSE;
  }
  const bool unseen = !line.quiet && !seen;
  SetExitCode(static_cast<int>(line.quiet || unseen ? RunQuietly(line, unseen) : RunWithDialog(line)));
  return FALSE;
}

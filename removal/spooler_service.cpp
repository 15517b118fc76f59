#include "removal/spooler_service.h"

#include <windows.h>

#include <optional>
#include <string>

#include "win/well_known_dirs.h"

namespace {

constexpr DWORD kPauseAfterStopMs = 2000;
constexpr DWORD kPauseAfterStartMs = 4000;

// WinExec looks for a bare "net" in the program's own folder and in the current folder before the
// system directory; an elevated uninstaller started from a download folder would run whatever
// net.exe lay there. Only the system's own, named by its full path, is run.
void RunNetCommand(const std::optional<std::string>& systemDirectory, const char* arguments) {
  if (!systemDirectory) return;
  const std::string commandLine = "\"" + *systemDirectory + "\\net.exe\" " + arguments;
  (void)::WinExec(commandLine.c_str(), SW_HIDE);
}

}  // namespace

void RestartSpoolerService() {
  const std::optional<std::string> systemDirectory = SystemDirectory();
  RunNetCommand(systemDirectory, "stop spooler");
  ::Sleep(kPauseAfterStopMs);
  RunNetCommand(systemDirectory, "start spooler");
  ::Sleep(kPauseAfterStartMs);
}

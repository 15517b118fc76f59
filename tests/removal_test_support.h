#pragma once

// What the removal tests share: files and folders, helper programs, and links.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/robot/launched_program.h"

namespace removal_test {

bool Exists(const std::string& path);
std::string Lower(std::string text);

// The paths listed for deletion (a rename to nothing) at the next restart, in lower case, in their
// order.
std::vector<std::string> PendingDeletions();
bool IsLink(const std::string& path);
bool CopyFileTo(const std::string& source, const std::string& destination);

// Runs a program of the build folder with its arguments (and in `currentDirectory`, when given)
// and waits for its exit code; nothing when it did not end within the time.
std::optional<DWORD> RunToExit(const std::string& commandLine, const std::string& currentDirectory,
                               DWORD timeoutMs);

// A program of the build folder, by its file name.
std::string BuildProgram(const std::string& fileName);

// Keeps `path` open, sharing nothing, in another process until the object goes.
class FileHolder {
 public:
  bool Hold(const std::string& path);

 private:
  LaunchedProgram holder_;
};

// Makes `link` a directory link to `target`. Windows makes a symbolic link (given the privilege);
// Wine can make neither symbolic links nor junctions, but shows a Unix symbolic link as a
// directory reparse point, so there the link is made on the Unix side. False if neither worked.
bool MakeDirectoryLink(const std::string& link, const std::string& target);

// Renames a file or folder on the Unix side, behind Wine's back, where no handle's sharing refuses
// it; true once `from` is gone.
bool MoveBehindWinesBack(const std::string& from, const std::string& to);

// ---- Services, through the service control manager ----

struct ServiceState {
  DWORD state = 0;  // 0: the service could not be asked
  DWORD processId = 0;
};
ServiceState QueryService(const std::string& name);

// Starts the service (or finds it running) and waits up to 10 s until it reports so.
bool StartServiceAndWait(const std::string& name);

// The command line of test_service.exe of the build folder with these arguments.
std::string TestServiceCommandLine(const std::string& arguments);

// Installs a demand-started service of its own process that runs `commandLine` and depends on
// the services named.
bool InstallService(const std::string& name, const std::string& commandLine,
                    const std::vector<std::string>& dependencies);

// The service runs `commandLine` from its next start on.
bool ChangeServiceProgram(const std::string& name, const std::string& commandLine);
// Sets the service's start type to disabled; a running service runs on.
bool DisableService(const std::string& name);

}  // namespace removal_test

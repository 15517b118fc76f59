#include "tests/removal_test_support.h"

#include <cctype>
#include <optional>

#include "removal/delete_at_restart.h"
#include "tools/robot/robot.h"
#include "win/scoped_service.h"

namespace removal_test {

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> PendingDeletions() {
  std::vector<std::string> deletions;
  for (const std::string& path : PathsToDeleteAtRestart()) deletions.push_back(Lower(path));
  return deletions;
}

bool IsLink(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool CopyFileTo(const std::string& source, const std::string& destination) {
  return ::CopyFileA(source.c_str(), destination.c_str(), FALSE) != FALSE;
}

std::string BuildProgram(const std::string& fileName) { return OwnFolder() + fileName; }

std::optional<DWORD> RunToExit(const std::string& commandLine, const std::string& currentDirectory,
                               DWORD timeoutMs) {
  LaunchedProgram program;
  if (!program.Start(commandLine, currentDirectory)) return std::nullopt;
  return program.WaitForExit(timeoutMs);
}

bool FileHolder::Hold(const std::string& path) {
  static int holders = 0;
  const std::string eventName = "qtm-file-held-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(++holders);
  const HANDLE held = ::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
  if (held == nullptr) return false;
  const bool started =
      holder_.Start("\"" + BuildProgram("hold_file.exe") + "\" \"" + path + "\" " + eventName);
  const bool holding = started && ::WaitForSingleObject(held, 10000) == WAIT_OBJECT_0;
  ::CloseHandle(held);
  return holding;
}

namespace {

// A path as the Unix side names it; empty when Wine cannot name it.
std::string UnixPathOf(const std::string& path) {
  using UnixFileName = char*(CDECL*)(const WCHAR*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unixFileName == nullptr) return std::string();
  char* converted = unixFileName(std::wstring(path.begin(), path.end()).c_str());
  const std::string text = converted != nullptr ? converted : "";
  ::HeapFree(::GetProcessHeap(), 0, converted);
  return text;
}

// Runs a program of /bin on the Unix side with two paths as its arguments, behind Wine's back.
// Wine starts a Unix program, but its process handle never reports the end: the caller waits for
// what the program does. False when it could not be started.
bool StartUnixProgram(const std::string& program, const std::string& options, const std::string& first,
                      const std::string& second) {
  const std::string unixFirst = UnixPathOf(first);
  const std::string unixSecond = UnixPathOf(second);
  if (unixFirst.empty() || unixSecond.empty()) return false;
  std::string commandLine = program + " " + options + "\"" + unixFirst + "\" \"" + unixSecond + "\"";
  const std::string path = "Z:\\bin\\" + program;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return true;
}

bool MakeUnixDirectoryLink(const std::string& link, const std::string& target) {
  if (!StartUnixProgram("ln", "-s ", target, link)) return false;
  for (int wait = 0; wait < 100 && !IsLink(link); ++wait) ::Sleep(50);
  return IsLink(link);
}

}  // namespace

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  if (::CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && IsLink(link)) {
    return true;
  }
  return MakeUnixDirectoryLink(link, target);
}

bool MoveBehindWinesBack(const std::string& from, const std::string& to) {
  return StartUnixProgram("mv", "", from, to) &&
         robot::WaitUntil([&] { return ::GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000);
}

ServiceState QueryService(const std::string& name) {
  ServiceState result;
  const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  const ScopedService service(manager.IsValid() ? ::OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS)
                                                : nullptr);
  SERVICE_STATUS_PROCESS status{};
  DWORD size = 0;
  if (service.IsValid() && ::QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO,
                                                  reinterpret_cast<BYTE*>(&status), sizeof status, &size)) {
    result = {status.dwCurrentState, status.dwProcessId};
  }
  return result;
}

bool StartServiceAndWait(const std::string& name) {
  {
    const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    const ScopedService service(manager.IsValid() ? ::OpenServiceA(manager.Get(), name.c_str(), SERVICE_START)
                                                  : nullptr);
    if (!service.IsValid()) return false;
    if (!::StartServiceA(service.Get(), 0, nullptr) && ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) return false;
  }
  for (int wait = 0; wait < 100; ++wait) {
    if (QueryService(name).state == SERVICE_RUNNING) return true;
    ::Sleep(100);
  }
  return false;
}

std::string TestServiceCommandLine(const std::string& arguments) {
  return "\"" + BuildProgram("test_service.exe") + "\" " + arguments;
}

bool InstallService(const std::string& name, const std::string& commandLine,
                    const std::vector<std::string>& dependencies) {
  std::string dependencyList;
  for (const std::string& dependency : dependencies) dependencyList += dependency + '\0';
  dependencyList += '\0';
  const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  const ScopedService service(
      manager.IsValid() ? ::CreateServiceA(manager.Get(), name.c_str(), name.c_str(), SERVICE_QUERY_STATUS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                           commandLine.c_str(), nullptr, nullptr, dependencyList.c_str(), nullptr,
                                           nullptr)
                        : nullptr);
  return service.IsValid();
}

namespace {

bool ChangeServiceConfig(const std::string& name, DWORD startType, const char* commandLine) {
  const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  const ScopedService service(manager.IsValid() ? ::OpenServiceA(manager.Get(), name.c_str(), SERVICE_CHANGE_CONFIG)
                                                : nullptr);
  return service.IsValid() &&
         ::ChangeServiceConfigA(service.Get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, commandLine, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr) != FALSE;
}

}  // namespace

bool ChangeServiceProgram(const std::string& name, const std::string& commandLine) {
  return ChangeServiceConfig(name, SERVICE_NO_CHANGE, commandLine.c_str());
}

bool DisableService(const std::string& name) { return ChangeServiceConfig(name, SERVICE_DISABLED, nullptr); }

}  // namespace removal_test

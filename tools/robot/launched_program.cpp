#include "tools/robot/launched_program.h"

#include <vector>

bool LaunchedProgram::Start(const std::string& commandLine, const std::string& currentDirectory, HANDLE token,
                            const std::string& desktop, HANDLE output) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (output != nullptr) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
  }
  const BOOL inherit = output != nullptr ? TRUE : FALSE;
  std::vector<char> desktopName(desktop.begin(), desktop.end());
  desktopName.push_back('\0');
  if (!desktop.empty()) startup.lpDesktop = desktopName.data();
  PROCESS_INFORMATION info{};
  std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
  mutableCommandLine.push_back('\0');
  const char* folder = currentDirectory.empty() ? nullptr : currentDirectory.c_str();
  const BOOL started =
      token != nullptr
          ? ::CreateProcessAsUserA(token, nullptr, mutableCommandLine.data(), nullptr, nullptr, inherit, 0,
                                   nullptr, folder, &startup, &info)
          : ::CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, inherit, 0, nullptr, folder,
                             &startup, &info);
  if (!started) return false;
  ::CloseHandle(info.hThread);
  *process_.Receive() = info.hProcess;
  processId_ = info.dwProcessId;
  startedHere_ = true;
  return true;
}

bool LaunchedProgram::Attach(DWORD processId) {
  HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return false;
  *process_.Receive() = process;
  processId_ = processId;
  startedHere_ = false;
  return true;
}

LaunchedProgram::~LaunchedProgram() {
  if (startedHere_ && IsRunning()) {
    ::TerminateProcess(process_.Get(), 1);
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

bool LaunchedProgram::IsRunning() const {
  return process_.IsValid() && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> LaunchedProgram::WaitForExit(DWORD timeoutMs) {
  if (!process_.IsValid() || ::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
  return code;
}

std::string OwnFolder() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) break;
    path.resize(path.size() * 2);
  }
  std::string full(path.data());
  return full.substr(0, full.find_last_of('\\') + 1);
}

ScopedHandle TokenWithoutPrivilege(const char* privilegeName) {
  HANDLE own = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &own)) return ScopedHandle();
  const ScopedHandle ownToken(own);
  LUID_AND_ATTRIBUTES removed{};
  if (!::LookupPrivilegeValueA(nullptr, privilegeName, &removed.Luid)) return ScopedHandle();
  HANDLE restricted = nullptr;
  if (!::CreateRestrictedToken(ownToken.Get(), 0, 0, nullptr, 1, &removed, 0, nullptr, &restricted)) {
    return ScopedHandle();
  }
  return ScopedHandle(restricted);
}

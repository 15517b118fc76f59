#include "tools/robot/launched_program.h"

#include <vector>

bool LaunchedProgram::Start(const std::string& commandLine, const std::string& currentDirectory) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
  mutableCommandLine.push_back('\0');
  if (!::CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup,
                        &info)) {
    return false;
  }
  ::CloseHandle(info.hThread);
  *process_.Receive() = info.hProcess;
  processId_ = info.dwProcessId;
  return true;
}

LaunchedProgram::~LaunchedProgram() {
  if (IsRunning()) {
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

#include "tests/removal_test_support.h"

#include <optional>

namespace removal_test {

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

bool MakeUnixDirectoryLink(const std::string& link, const std::string& target) {
  using UnixFileName = char*(CDECL*)(const WCHAR*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unixFileName == nullptr) return false;
  const auto wide = [](const std::string& text) { return std::wstring(text.begin(), text.end()); };
  char* unixTarget = unixFileName(wide(target).c_str());
  char* unixLink = unixFileName(wide(link).c_str());
  if (unixTarget == nullptr || unixLink == nullptr) return false;
  std::string commandLine = std::string("ln -s \"") + unixTarget + "\" \"" + unixLink + "\"";
  ::HeapFree(::GetProcessHeap(), 0, unixTarget);
  ::HeapFree(::GetProcessHeap(), 0, unixLink);
  // Wine starts a Unix program, but its process handle never reports the end: wait for the link.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA("Z:\\bin\\ln", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    return false;
  }
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
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

}  // namespace removal_test

#include "tests/e2e_support.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <winspool.h>

#include <fstream>
#include <sstream>

#include "identity/target_identity.h"
#include "tools/robot/launched_program.h"
#include "tools/robot/robot.h"
#include "tools/stager/system_state.h"
#include "win/reg_key.h"
#include "win/unique_handle.h"

std::string UninstallerCommandLine() { return "\"" + OwnFolder() + "qtm820wide_uninstall.exe\""; }

// The station is made the process's own just long enough to make its desktop there.
HDESK UnseenDesktop() {
  static const HDESK desktop = [] {
    const HWINSTA own = ::GetProcessWindowStation();
    const HWINSTA station = ::CreateWindowStationA("qtm-unseen", 0, WINSTA_ALL_ACCESS, nullptr);
    if (station == nullptr || !::SetProcessWindowStation(station)) return HDESK(nullptr);
    const HDESK made = ::CreateDesktopA("Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    return ::SetProcessWindowStation(own) ? made : nullptr;
  }();
  return desktop;
}

namespace {

// Reads what is in the pipe now, without waiting for more.
void ReadWhatIsThere(HANDLE pipe, std::string& text) {
  DWORD available = 0;
  while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    std::string chunk(available, '\0');
    DWORD read = 0;
    if (!::ReadFile(pipe, &chunk[0], available, &read, nullptr) || read == 0) return;
    text.append(chunk, 0, read);
  }
}

}  // namespace

WatchedRun RunUninstallerWatched(const std::string& arguments, DWORD timeoutMs, bool unseen) {
  WatchedRun run;
  LaunchedProgram program;
  if (unseen && UnseenDesktop() == nullptr) {
    ADD_FAILURE() << "no window station without WSF_VISIBLE could be made";
    return run;
  }
  HANDLE reading = nullptr;
  HANDLE writing = nullptr;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  if (!::CreatePipe(&reading, &writing, &inheritable, 0)) {
    ADD_FAILURE() << "no pipe for the standard output: " << ::GetLastError();
    return run;
  }
  const ScopedHandle output(reading);
  ScopedHandle input(writing);
  (void)::SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
  const bool started = program.Start(UninstallerCommandLine() + " " + arguments, std::string(), nullptr,
                                     unseen ? "qtm-unseen\\Default" : std::string(), writing);
  (void)input.Close();
  if (!started) return run;
  (void)robot::WaitUntil(
      [&] {
        ReadWhatIsThere(output.Get(), run.output);
        run.windowShown = unseen ? robot::HasADialogOn(UnseenDesktop(), program.ProcessId())
                                 : robot::ShowsAWindow(program.ProcessId());
        return run.windowShown || !program.IsRunning();
      },
      timeoutMs);
  run.exitCode = program.WaitForExit(0);
  ReadWhatIsThere(output.Get(), run.output);
  return run;
}

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::istringstream log(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "hh:mm:ss  " before each line.
    if (line.size() > 10 && line[2] == ':' && line[5] == ':' && line.substr(8, 2) == "  ") line.erase(0, 10);
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> LastRunOfLog(const std::string& path) {
  std::vector<std::string> lines;
  for (const std::string& line : LinesOf(FileText(path))) {
    if (line.rfind("==== ", 0) == 0) {
      lines.clear();
    } else if (!line.empty()) {
      lines.push_back(line);
    }
  }
  if (!lines.empty() && lines.front().rfind("Command line: ", 0) == 0) lines.erase(lines.begin());
  return lines;
}

std::string LastHeaderOfLog(const std::string& path) {
  std::istringstream log(FileText(path));
  std::string header;
  for (std::string line; std::getline(log, line);) {
    if (line.rfind("==== ", 0) == 0) header = line;
  }
  if (!header.empty() && header.back() == '\r') header.pop_back();
  return header;
}

std::vector<std::string> FailedStepsOfLog(const std::string& path) {
  std::vector<std::string> failed;
  for (const std::string& line : LastRunOfLog(path)) {
    const size_t outcome = line.find(": failed, error ");
    if (outcome != std::string::npos) failed.push_back(line.substr(0, outcome));
  }
  return failed;
}

std::vector<std::string> LeftOnTheMachineInLog(const std::string& path) {
  static constexpr char kLeft[] = "Left on the machine: ";
  std::vector<std::string> left;
  for (const std::string& line : LastRunOfLog(path)) {
    if (line.rfind(kLeft, 0) == 0) left.push_back(line.substr(sizeof kLeft - 1));
  }
  return left;
}

bool StageForTest(const stager::Installation& installation) {
  std::string error;
  if (stager::Stage(installation, error)) return true;
  ADD_FAILURE() << "staging failed: " << error;
  return false;
}

std::set<std::string> InstalledPrinterNames() {
  std::set<std::string> names;
  for (const stager::ListedPrinter& printer : stager::ListPrinters()) names.insert(printer.name);
  return names;
}

void StagePrinterNamedInUnicode(const std::wstring& name, const std::wstring& driver) {
  std::wstring printerName = name, port = L"FILE:", driverName = driver, processor = L"WinPrint", dataType = L"RAW";
  PRINTER_INFO_2W info{};
  info.pPrinterName = &printerName[0];
  info.pPortName = &port[0];
  info.pDriverName = &driverName[0];
  info.pPrintProcessor = &processor[0];
  info.pDatatype = &dataType[0];
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  const HANDLE printer = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  ASSERT_NE(printer, nullptr) << ::GetLastError();
  ::ClosePrinter(printer);
}

bool ModelDriverInstalled() {
  for (const std::string& driver : stager::ListPrinterDrivers()) {
    if (driver == DRIVER_NAME) return true;
  }
  return false;
}

bool SettingsKeyExists(const std::string& keyName) {
  return stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KARVELO_POS_PRINTER\\" + keyName);
}

bool UninstallKeyExists() { return stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY); }

bool DenyEveryoneEveryRight(const std::string& key) {
  PSECURITY_DESCRIPTOR denyEveryone = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(D;;KA;;;WD)", SDDL_REVISION_1, &denyEveryone,
                                                             nullptr)) {
    return false;
  }
  const ScopedLocalMemory owner(denyEveryone);
  RegKey opened;
  return opened.Open(HKEY_LOCAL_MACHINE, key.c_str(), WRITE_DAC) == ERROR_SUCCESS &&
         ::RegSetKeySecurity(opened.Get(), DACL_SECURITY_INFORMATION, denyEveryone) == ERROR_SUCCESS;
}

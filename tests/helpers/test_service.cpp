// A service of its own process for the spooler restart tests, installed by them with the service
// control manager under the name it is given:
//   test_service.exe <name> dependent <log file>   takes a while to stop, as real services do, and
//                                                  records each start and each stop it completes,
//                                                  with the spooler's state and process then
//   test_service.exe <name> unstoppable            runs and accepts no control, stop included
//   test_service.exe <name> slow-stop              takes 38 s to stop, reporting its progress every
//                                                  second with a wait hint of 3 s
//   test_service.exe <name> stalled-stop           starts stopping with a wait hint of 3 s and makes
//                                                  no progress after
//   test_service.exe <name> late-stop          starts stopping with a wait hint of 3 s, makes no
//                                                  progress for 40 s, then stops
//   test_service.exe <name> finishes-deletion <key below HKEY_LOCAL_MACHINE>
//                                                  as it stops, deletes the key, whatever its DACL,
//                                                  as a spooler finishes a printer's pending deletion
//                                                  once the restart dropped the printer's stuck job
//   test_service.exe <name> no-second-start <marker file>
//                                                  stops when asked, leaving the marker; started
//                                                  while the marker is there, its start gets under
//                                                  way and fails with ERROR_MOD_NOT_FOUND
// Wine's service control manager runs it like any other service.

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

namespace {

std::string g_name;
std::string g_mode;
std::string g_log;
std::string g_marker;
std::string g_key;
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopRequested = nullptr;
// Long enough that whoever asks for a stop while one is under way finds the service stopping.
constexpr DWORD kStopTakesMs = 2000;
// Longer than the 30 s that the spooler restart once waited for a stop in all.
constexpr DWORD kSlowStopSeconds = 38;
constexpr DWORD kWaitHintMs = 3000;
// Longer than the 30 s without progress after which the restart gives up a wait.
constexpr DWORD kLateStopMs = 40000;
// What a spooler reports that cannot load one of its port monitors.
constexpr DWORD kSecondStartFails = ERROR_MOD_NOT_FOUND;

std::string SpoolerState() {
  SERVICE_STATUS_PROCESS status{};
  DWORD size = 0;
  const SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  const SC_HANDLE spooler = manager ? ::OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS) : nullptr;
  const bool known = spooler && ::QueryServiceStatusEx(spooler, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                                       sizeof status, &size);
  if (spooler) ::CloseServiceHandle(spooler);
  if (manager) ::CloseServiceHandle(manager);
  if (!known) return "spooler unknown";
  return "spooler " + std::to_string(status.dwCurrentState) + " " + std::to_string(status.dwProcessId);
}

void Record(const char* event) {
  if (g_log.empty()) return;
  FILE* log = std::fopen(g_log.c_str(), "a");
  if (log == nullptr) return;
  std::fprintf(log, "%s %s %s\n", event, g_name.c_str(), SpoolerState().c_str());
  std::fclose(log);
}

void Report(DWORD state, DWORD checkPoint = 0, DWORD waitHint = 0, DWORD exitCode = NO_ERROR) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = (state == SERVICE_RUNNING && g_mode != "unstoppable") ? SERVICE_ACCEPT_STOP : 0;
  status.dwWin32ExitCode = exitCode;
  status.dwCheckPoint = checkPoint;
  status.dwWaitHint = waitHint;
  (void)::SetServiceStatus(g_statusHandle, &status);
}

// Reports the stop under way before it returns, so that the service is stopping once the control
// is answered; the service's own thread completes the stop.
DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP && g_mode != "unstoppable") {
    // The dependents tell nothing of their progress, as some services do; the others give a hint.
    if (g_mode == "dependent") {
      Report(SERVICE_STOP_PENDING);
    } else {
      Report(SERVICE_STOP_PENDING, 1, kWaitHintMs);
    }
    (void)::SetEvent(g_stopRequested);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

// The key's DACL is replaced by one that lets administrators delete it, and it goes.
void DeleteTheKey() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KA;;;BA)(A;;KA;;;SY)", SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
    return;
  }
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  std::string object = "MACHINE\\" + g_key;
  if (::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted)) {
    (void)::SetNamedSecurityInfoA(&object[0], SE_REGISTRY_KEY,
                                  DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                  dacl, nullptr);
  }
  (void)::LocalFree(descriptor);
  (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, g_key.c_str());
}

void Stop() {
  if (g_mode == "stalled-stop") ::Sleep(INFINITE);
  if (g_mode == "late-stop") ::Sleep(kLateStopMs);
  if (g_mode == "finishes-deletion") DeleteTheKey();
  if (g_mode == "slow-stop") {
    for (DWORD second = 1; second <= kSlowStopSeconds; ++second) {
      ::Sleep(1000);
      Report(SERVICE_STOP_PENDING, 1 + second, kWaitHintMs);
    }
  }
  if (g_mode == "dependent") ::Sleep(kStopTakesMs);
  if (g_mode == "no-second-start") {
    FILE* marker = std::fopen(g_marker.c_str(), "w");
    if (marker != nullptr) std::fclose(marker);
  }
  Record("stop");
  Report(SERVICE_STOPPED);
}

void WINAPI ServiceMain(DWORD, char**) {
  g_statusHandle = ::RegisterServiceCtrlHandlerExA(g_name.c_str(), OnControl, nullptr);
  if (g_statusHandle == nullptr) return;
  if (g_mode == "no-second-start" && ::GetFileAttributesA(g_marker.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // As a spooler that fails to load a port monitor: the start gets under way, then fails.
    Report(SERVICE_START_PENDING, 1, kWaitHintMs);
    ::Sleep(1000);
    Report(SERVICE_STOPPED, 0, 0, kSecondStartFails);
    return;
  }
  Record("start");
  Report(SERVICE_RUNNING);
  (void)::WaitForSingleObject(g_stopRequested, INFINITE);
  Stop();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_name = argv[1];
  g_mode = argv[2];
  if (g_mode == "dependent" || g_mode == "no-second-start" || g_mode == "finishes-deletion") {
    if (argc != 4) return 2;
    (g_mode == "dependent" ? g_log : g_mode == "finishes-deletion" ? g_key : g_marker) = argv[3];
  } else if (g_mode != "unstoppable" && g_mode != "slow-stop" && g_mode != "stalled-stop" && g_mode != "late-stop") {
    return 2;
  }
  g_stopRequested = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const SERVICE_TABLE_ENTRYA table[] = {{&g_name[0], ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherA(table) ? 0 : 1;
}

// A service of its own process for the spooler restart tests, installed by them with the service
// control manager under the name it is given:
//   test_service.exe <name> dependent <log file>   takes a while to stop, as real services do, and
//                                                  records each start and each stop it completes,
//                                                  with the spooler's state and process then
//   test_service.exe <name> unstoppable            runs and accepts no control, stop included
// Wine's service control manager runs it like any other service.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string g_name;
std::string g_mode;
std::string g_log;
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopRequested = nullptr;
// Long enough that whoever asks for a stop while one is under way finds the service stopping.
constexpr DWORD kStopTakesMs = 2000;

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

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = (state == SERVICE_RUNNING && g_mode == "dependent") ? SERVICE_ACCEPT_STOP : 0;
  (void)::SetServiceStatus(g_statusHandle, &status);
}

// Reports the stop under way before it returns, so that the service is stopping once the control
// is answered; the service's own thread completes the stop.
DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP && g_mode == "dependent") {
    Report(SERVICE_STOP_PENDING);
    (void)::SetEvent(g_stopRequested);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**) {
  g_statusHandle = ::RegisterServiceCtrlHandlerExA(g_name.c_str(), OnControl, nullptr);
  if (g_statusHandle == nullptr) return;
  Record("start");
  Report(SERVICE_RUNNING);
  (void)::WaitForSingleObject(g_stopRequested, INFINITE);
  ::Sleep(kStopTakesMs);
  Record("stop");
  Report(SERVICE_STOPPED);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_name = argv[1];
  g_mode = argv[2];
  if (g_mode == "dependent") {
    if (argc != 4) return 2;
    g_log = argv[3];
  } else if (g_mode != "unstoppable") {
    return 2;
  }
  g_stopRequested = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const SERVICE_TABLE_ENTRYA table[] = {{&g_name[0], ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherA(table) ? 0 : 1;
}

#include "removal/spooler_service.h"

#include <utility>
#include <vector>

#include "win/scoped_service.h"

namespace {

constexpr char kSpoolerService[] = "Spooler";
constexpr DWORD kServiceAccess = SERVICE_QUERY_STATUS | SERVICE_STOP | SERVICE_START;
constexpr DWORD kSpoolerAccess = kServiceAccess | SERVICE_ENUMERATE_DEPENDENTS | SERVICE_QUERY_CONFIG;
constexpr DWORD kLongestWaitMs = 30000;
constexpr DWORD kPollEveryMs = 50;

// A disabled service cannot be started: one that runs all the same (disabled after it started)
// would stay stopped, and the machine without a spooler.
bool IsDisabled(SC_HANDLE service) {
  DWORD needed = 0;
  if (::QueryServiceConfigA(service, nullptr, 0, &needed) || ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return false;
  }
  std::vector<BYTE> buffer(needed);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  return ::QueryServiceConfigA(service, config, needed, &needed) && config->dwStartType == SERVICE_DISABLED;
}

bool Reports(SC_HANDLE service, DWORD state) {
  SERVICE_STATUS status{};
  return ::QueryServiceStatus(service, &status) && status.dwCurrentState == state;
}

// ERROR_SUCCESS once the service reports `wanted`; the reason when it cannot be asked, when it
// stopped while it was to start (its start failed), or after 30 s.
DWORD WaitForState(SC_HANDLE service, DWORD wanted) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service, &status)) return ::GetLastError();
    if (status.dwCurrentState == wanted) return ERROR_SUCCESS;
    if (wanted == SERVICE_RUNNING && status.dwCurrentState == SERVICE_STOPPED) {
      return status.dwWin32ExitCode != ERROR_SUCCESS ? status.dwWin32ExitCode : ERROR_SERVICE_NOT_ACTIVE;
    }
    if (::GetTickCount() - start >= kLongestWaitMs) return ERROR_SERVICE_REQUEST_TIMEOUT;
    ::Sleep(kPollEveryMs);
  }
}

// Succeeds once the service is stopped, also when it was not running. One that something else is
// stopping already refuses the control (the manager then still reports its state); it is waited
// for all the same.
DWORD StopAndWait(SC_HANDLE service) {
  SERVICE_STATUS status{};
  if (!::ControlService(service, SERVICE_CONTROL_STOP, &status)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_SERVICE_NOT_ACTIVE) return ERROR_SUCCESS;
    if (error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL || status.dwCurrentState != SERVICE_STOP_PENDING) return error;
  }
  return WaitForState(service, SERVICE_STOPPED);
}

DWORD StartAndWait(SC_HANDLE service) {
  if (!::StartServiceA(service, 0, nullptr)) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_SERVICE_ALREADY_RUNNING) return error;
  }
  return WaitForState(service, SERVICE_RUNNING);
}

// Stops the running services that depend on the spooler, keeping each in `stopped` in the order
// stopped. The list comes in the reverse of their start order, each service before those it
// depends on, which is the order to stop them in. Fails when one could not be listed, opened or
// stopped: Windows refuses to stop a service while a service that depends on it runs.
DWORD StopRunningDependents(SC_HANDLE manager, SC_HANDLE spooler, const DependentServiceCalls& calls,
                            std::vector<ScopedService>& stopped) {
  DWORD needed = 0;
  DWORD count = 0;
  if (calls.enumDependentServices(spooler, SERVICE_ACTIVE, nullptr, 0, &needed, &count)) return ERROR_SUCCESS;
  if (::GetLastError() != ERROR_MORE_DATA) return ::GetLastError();
  std::vector<BYTE> buffer(needed);
  auto* dependents = reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data());
  if (!calls.enumDependentServices(spooler, SERVICE_ACTIVE, dependents, needed, &needed, &count)) {
    return ::GetLastError();
  }
  for (DWORD i = 0; i < count; ++i) {
    ScopedService dependent(::OpenServiceA(manager, dependents[i].lpServiceName, kServiceAccess));
    if (!dependent.IsValid()) return ::GetLastError();
    const DWORD stoppedOrNot = StopAndWait(dependent.Get());
    if (stoppedOrNot != ERROR_SUCCESS) return stoppedOrNot;
    stopped.push_back(std::move(dependent));
  }
  return ERROR_SUCCESS;
}

}  // namespace

DWORD RestartSpoolerService(const DependentServiceCalls& calls) {
  const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.IsValid()) return ::GetLastError();
  const ScopedService spooler(::OpenServiceA(manager.Get(), kSpoolerService, kSpoolerAccess));
  if (!spooler.IsValid()) return ::GetLastError();
  if (IsDisabled(spooler.Get())) return ERROR_SUCCESS;

  std::vector<ScopedService> stopped;
  DWORD outcome = StopRunningDependents(manager.Get(), spooler.Get(), calls, stopped);
  if (outcome == ERROR_SUCCESS) outcome = StopAndWait(spooler.Get());
  if (outcome == ERROR_SUCCESS) outcome = StartAndWait(spooler.Get());
  // The services stopped for the restart run again once the spooler does; without it they cannot.
  if (!Reports(spooler.Get(), SERVICE_RUNNING)) return outcome;
  for (auto dependent = stopped.rbegin(); dependent != stopped.rend(); ++dependent) {
    const DWORD started = StartAndWait(dependent->Get());
    if (outcome == ERROR_SUCCESS) outcome = started;
  }
  return outcome;
}

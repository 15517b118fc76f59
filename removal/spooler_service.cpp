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

// True once the service reports `wanted`; false when it cannot be asked, when it stopped while
// it was to start (its start failed), or after 30 s.
bool WaitForState(SC_HANDLE service, DWORD wanted, Pause pause) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service, &status)) return false;
    if (status.dwCurrentState == wanted) return true;
    if (wanted == SERVICE_RUNNING && status.dwCurrentState == SERVICE_STOPPED) return false;
    if (::GetTickCount() - start >= kLongestWaitMs) return false;
    pause(kPollEveryMs);
  }
}

// True once the service is stopped, also when it was not running. One that something else is
// stopping already refuses the control (the manager then still reports its state); it is waited
// for all the same.
bool StopAndWait(SC_HANDLE service, Pause pause) {
  SERVICE_STATUS status{};
  if (!::ControlService(service, SERVICE_CONTROL_STOP, &status)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_SERVICE_NOT_ACTIVE) return true;
    if (error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL || status.dwCurrentState != SERVICE_STOP_PENDING) return false;
  }
  return WaitForState(service, SERVICE_STOPPED, pause);
}

bool StartAndWait(SC_HANDLE service, Pause pause) {
  if (!::StartServiceA(service, 0, nullptr) && ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) return false;
  return WaitForState(service, SERVICE_RUNNING, pause);
}

// Stops the running services that depend on the spooler, keeping each in `stopped` in the order
// stopped. The list comes in the reverse of their start order, each service before those it
// depends on, which is the order to stop them in. False when one could not be listed, opened or
// stopped: Windows refuses to stop a service while a service that depends on it runs.
bool StopRunningDependents(SC_HANDLE manager, SC_HANDLE spooler, Pause pause, const DependentServiceCalls& calls,
                           std::vector<ScopedService>& stopped) {
  DWORD needed = 0;
  DWORD count = 0;
  if (calls.enumDependentServices(spooler, SERVICE_ACTIVE, nullptr, 0, &needed, &count)) return true;
  if (::GetLastError() != ERROR_MORE_DATA) return false;
  std::vector<BYTE> buffer(needed);
  auto* dependents = reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data());
  if (!calls.enumDependentServices(spooler, SERVICE_ACTIVE, dependents, needed, &needed, &count)) return false;
  for (DWORD i = 0; i < count; ++i) {
    ScopedService dependent(::OpenServiceA(manager, dependents[i].lpServiceName, kServiceAccess));
    if (!dependent.IsValid() || !StopAndWait(dependent.Get(), pause)) return false;
    stopped.push_back(std::move(dependent));
  }
  return true;
}

}  // namespace

void RestartSpoolerService(Pause pause, const DependentServiceCalls& calls) {
  const ScopedService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.IsValid()) return;
  const ScopedService spooler(::OpenServiceA(manager.Get(), kSpoolerService, kSpoolerAccess));
  if (!spooler.IsValid() || IsDisabled(spooler.Get())) return;

  std::vector<ScopedService> stopped;
  if (StopRunningDependents(manager.Get(), spooler.Get(), pause, calls, stopped) &&
      StopAndWait(spooler.Get(), pause)) {
    (void)StartAndWait(spooler.Get(), pause);
  }
  // The services stopped for the restart run again once the spooler does; without it they cannot.
  if (!Reports(spooler.Get(), SERVICE_RUNNING)) return;
  for (auto dependent = stopped.rbegin(); dependent != stopped.rend(); ++dependent) {
    (void)StartAndWait(dependent->Get(), pause);
  }
}

#include "removal/spooler_service.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "win/scoped_service.h"

namespace {

constexpr char kSpoolerService[] = "Spooler";
constexpr DWORD kServiceAccess = SERVICE_QUERY_STATUS | SERVICE_STOP | SERVICE_START;
constexpr DWORD kSpoolerAccess = kServiceAccess | SERVICE_ENUMERATE_DEPENDENTS | SERVICE_QUERY_CONFIG;
// How long a service may go without progress when its wait hint is shorter, or zero as some
// services report. Hints can be short of the truth: until a started service first reports, the
// manager answers for it with a hint of 2 s (StartService). 30 s is what the manager gives a
// service's control handler to answer (ControlService), and what "Stopping a Service" allows a
// whole stop.
constexpr DWORD kLeastProgressWaitMs = 30000;
// However steadily a service reports progress, a wait for one state change ends after this long.
constexpr DWORD kLongestWaitMs = 10 * 60 * 1000;
// A stop can outlast the wait that gave up on it: a spooler whose port monitor is slow to unload
// finishes stopping later, reporting no progress meanwhile. "Starting a Service" waits while a stop
// is pending before it starts the service; a stop still pending when the wait gave up is waited
// for this much longer (twice what the manager gives a control handler to answer), so that the
// service is started again once it has stopped rather than left stopped until the next boot.
constexpr DWORD kLateStopWaitMs = 60000;
constexpr DWORD kLateStopPollMs = 1000;
// "Starting a Service" polls at a tenth of the wait hint, "not less than 1 second and not more than
// 10 seconds". Polling more often costs one query of the service control manager each time, and
// spares quick services (most stop and start well within a second) a second's wait each.
constexpr DWORD kShortestPollMs = 100;
constexpr DWORD kLongestPollMs = 10000;

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

DWORD PollInterval(DWORD waitHint) { return std::min(std::max(waitHint / 10, kShortestPollMs), kLongestPollMs); }

DWORD StartFailure(const SERVICE_STATUS& stopped) {
  return stopped.dwWin32ExitCode != ERROR_SUCCESS ? stopped.dwWin32ExitCode : ERROR_SERVICE_NOT_ACTIVE;
}

// ERROR_SUCCESS once the service reports `wanted`; the reason when it cannot be asked, or when it
// stopped while it was to start (its start failed). A service in a lengthy start or stop reports
// its progress: "Before the specified amount of time [dwWaitHint] has elapsed, the service should
// make its next call to the SetServiceStatus function with either an incremented dwCheckPoint value
// or a change in dwCurrentState"; when the hint passes without either, "the service control
// manager or service control program can assume that an error has occurred" (SERVICE_STATUS). So
// the wait goes on as long as the service makes progress, and gives up with
// ERROR_SERVICE_REQUEST_TIMEOUT when it made none within its latest hint (kLeastProgressWaitMs at
// the least), or after kLongestWaitMs in all.
DWORD WaitForState(SC_HANDLE service, DWORD wanted) {
  SERVICE_STATUS status{};
  if (!::QueryServiceStatus(service, &status)) return ::GetLastError();
  const DWORD began = ::GetTickCount();
  DWORD progressed = began;
  for (;;) {
    if (status.dwCurrentState == wanted) return ERROR_SUCCESS;
    if (wanted == SERVICE_RUNNING && status.dwCurrentState == SERVICE_STOPPED) return StartFailure(status);
    const DWORD now = ::GetTickCount();
    if (now - progressed >= std::max(status.dwWaitHint, kLeastProgressWaitMs) || now - began >= kLongestWaitMs) {
      return ERROR_SERVICE_REQUEST_TIMEOUT;
    }
    ::Sleep(PollInterval(status.dwWaitHint));
    const SERVICE_STATUS last = status;
    if (!::QueryServiceStatus(service, &status)) return ::GetLastError();
    if (status.dwCheckPoint != last.dwCheckPoint || status.dwCurrentState != last.dwCurrentState) {
      progressed = ::GetTickCount();
    }
  }
}

// ERROR_SUCCESS once a stop that was still pending when its wait gave up completes within
// kLateStopWaitMs; ERROR_SERVICE_REQUEST_TIMEOUT when it does not, or the service left the
// pending stop for another state.
DWORD WaitForALateStop(SC_HANDLE service) {
  const DWORD began = ::GetTickCount();
  for (;;) {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service, &status)) return ::GetLastError();
    if (status.dwCurrentState == SERVICE_STOPPED) return ERROR_SUCCESS;
    if (status.dwCurrentState != SERVICE_STOP_PENDING || ::GetTickCount() - began >= kLateStopWaitMs) {
      return ERROR_SERVICE_REQUEST_TIMEOUT;
    }
    ::Sleep(kLateStopPollMs);
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
  const DWORD waited = WaitForState(service, SERVICE_STOPPED);
  return waited == ERROR_SERVICE_REQUEST_TIMEOUT ? WaitForALateStop(service) : waited;
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
  const auto keepFirstFailure = [&outcome](DWORD next) {
    if (outcome == ERROR_SUCCESS) outcome = next;
  };
  // A spooler left stopped prints nothing: once stopped it is started again, whatever went before,
  // a stop that completed only after its wait gave up included.
  if (Reports(spooler.Get(), SERVICE_STOPPED)) keepFirstFailure(StartAndWait(spooler.Get()));
  // So is every service stopped for the restart, whatever became of the spooler. Windows starts
  // the services a service depends on before it, so a spooler that failed to start is tried once
  // more; if it fails again, so does the dependent's start (ERROR_SERVICE_DEPENDENCY_FAIL).
  for (auto dependent = stopped.rbegin(); dependent != stopped.rend(); ++dependent) {
    keepFirstFailure(StartAndWait(dependent->Get()));
  }
  return outcome;
}

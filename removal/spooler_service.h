#pragma once

#include <windows.h>

// The service control manager's one call that a test must stand in for: Wine's answers that no
// service depends on any other.
struct DependentServiceCalls {
  decltype(&::EnumDependentServicesA) enumDependentServices = &::EnumDependentServicesA;
};

// Restarts the print spooler service through the service control manager: the services that
// depend on it and run are stopped first (each waited for), then the spooler; it is started
// again and waited for, and then those services, in the reverse order. Each wait for a service
// to reach a state gives up after 30 s. When a service cannot be controlled (no right, missing, a
// wait that runs out), the restart goes as far as it can and starts again what it stopped if the
// spooler runs; the result is the Windows error code of the first thing that failed. A spooler
// whose service is disabled is not touched at all (stopped, it could not be started again), and
// that is no failure.
DWORD RestartSpoolerService(const DependentServiceCalls& calls = DependentServiceCalls{});

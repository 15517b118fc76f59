#pragma once

#include <windows.h>

// The service control manager's one call that a test must stand in for: Wine's answers that no
// service depends on any other.
struct DependentServiceCalls {
  decltype(&::EnumDependentServicesA) enumDependentServices = &::EnumDependentServicesA;
};

// Restarts the print spooler service through the service control manager: the services that
// depend on it and run are stopped first (each waited for), then the spooler; it is started
// again and waited for, and then those services, in the reverse order. Each wait for a service to
// reach a state lasts as long as the service reports progress, as its wait hint asks, and gives up
// when it made none within the hint (30 s at the least), or after 10 minutes in all; a stop still
// pending then is waited for up to 1 minute more. Once the spooler has stopped it is always started
// again, and so is every service stopped for the
// restart, whatever failed before. When a service cannot be controlled (no right, missing, a wait
// that runs out, a start that fails), the restart goes as far as it can; the result is the Windows
// error code of the first thing that failed, that of the spooler's start when only that failed.
// A spooler whose service is disabled is not touched at all (stopped, it could not be started
// again), and that is no failure.
DWORD RestartSpoolerService(const DependentServiceCalls& calls = DependentServiceCalls{});

#pragma once

// What is left of the model's driver package once its printers and its driver are gone. The
// spooler's driver is the first part of the package to go, and the easiest for someone else to take
// (by hand, by another tool, or a run ended half-way), while Windows reinstalls the driver from the
// package's INF copies the next time the printer is plugged in.

#include <optional>
#include <string>

// Looks for anything of the package that the driver removal phase removes, the cheapest look-ups
// first, and describes the first one found ("language monitor key SYSTEM\..."); nothing when none
// is left. The Uninstall key is no leftover: with nothing else it is dropped where the program
// says that the package is gone.
std::optional<std::string> FindPackageLeftover();

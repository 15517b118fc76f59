#pragma once

// What is left of the model's driver package once its printers and its driver are gone. The
// spooler's driver is the first part of the package to go, and the easiest for someone else to take
// (by hand, by another tool, or a run ended half-way), while Windows reinstalls the driver from the
// package's INF copies the next time the printer is plugged in.

#include <functional>
#include <optional>
#include <string>

struct PackageLeftover {
  // What it is, for the user and the log ("language monitor key SYSTEM\...").
  std::string what;
  // The file or folder it is, where it is one; empty otherwise.
  std::string path;
};

// Whether the key below HKEY_LOCAL_MACHINE is there: one that the administrator may not even read
// is there all the same.
bool RegistryKeyIsThere(const std::string& path);

// Calls `visit` with each thing of the package left that the driver removal phase removes, the
// cheapest look-ups first, until `visit` answers false. The Uninstall key is no leftover: with
// nothing else it is dropped where the program says that the package is gone.
void ForEachPackageLeftover(const std::function<bool(const PackageLeftover&)>& visit);

// The first thing left, described; nothing when none is left.
std::optional<std::string> FindPackageLeftover();

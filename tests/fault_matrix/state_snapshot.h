#pragma once

// The state of the machine that an uninstall could change, in a form two states can be compared
// in: every file and folder of drive C: and every registry key and value of HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER, each by its path.

#include <map>
#include <string>
#include <vector>

namespace fault_matrix {

// Paths in UTF-8: files as "C:\windows\inf\oem7.inf", keys as "HKLM\SOFTWARE\...", values as
// their key's path, "|", then the value's name. What each entry holds: a file's attributes, size
// and write time; a folder's attributes (its write time follows every change inside it); a
// value's type and data.
using Snapshot = std::map<std::string, std::string>;

Snapshot TakeSnapshot();

// Whether `path` is `root` or lies below it (a subkey, a value, a file in a folder), compared
// ignoring case.
bool IsWithin(const std::string& path, const std::string& root);

// What differs between two snapshots: entries gone, new, or holding something else.
struct SnapshotDifference {
  std::vector<std::string> removed;
  std::vector<std::string> added;
  std::vector<std::string> changed;
};

SnapshotDifference Compare(const Snapshot& before, const Snapshot& after);

}  // namespace fault_matrix

#pragma once

#include <string>
#include <vector>

#include "removal/removal_result.h"

// Deletes the file now. A file that cannot go because it is in use (open without sharing, a loaded
// image, locked) is scheduled for deletion at the next restart instead; a file that is missing is
// gone already; a file refused for another reason stays, and so does one that cannot be scheduled.
RemovalResult DeleteFileOrScheduleAtRestart(const std::string& path);

// The paths that Windows is to delete at the next restart, as MoveFileEx records them: the value
// PendingFileRenameOperations of the Session Manager's key holds pairs of a source ("\??\" and
// the path) and a target, an empty target for a deletion.
std::vector<std::string> PathsToDeleteAtRestart();

// Whether `path` is among `scheduled` (paths compared ignoring case).
bool IsAmong(const std::string& path, const std::vector<std::string>& scheduled);

// Schedules a file, or an empty directory, for deletion at the next restart. Scheduled deletions
// run in the order they were asked for, so a directory scheduled after its files goes once they
// have.
RemovalResult DeleteAtRestart(const std::string& path);

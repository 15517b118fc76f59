#pragma once

#include <string>

#include "removal/removal_result.h"

// Deletes the file now. A file that cannot go because it is in use (open without sharing, a loaded
// image, locked) is scheduled for deletion at the next restart instead; a file that is missing is
// gone already; a file refused for another reason stays, and so does one that cannot be scheduled.
RemovalResult DeleteFileOrScheduleAtRestart(const std::string& path);

// Schedules a file, or an empty directory, for deletion at the next restart. Scheduled deletions
// run in the order they were asked for, so a directory scheduled after its files goes once they
// have.
RemovalResult DeleteAtRestart(const std::string& path);

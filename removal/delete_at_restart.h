#pragma once

#include <string>

// Deletes the file now. A file that cannot go because it is in use (open without sharing, a loaded
// image, locked) is scheduled for deletion at the next restart instead; a file that is missing, or
// refused for another reason, is not. Returns whether the deletion was scheduled.
bool DeleteFileOrScheduleAtRestart(const std::string& path);

// Schedules a directory for removal at the next restart. Scheduled operations run in the order
// they were asked for, so a directory scheduled after its files goes once they have.
void RemoveDirectoryAtRestart(const std::string& path);

#pragma once

// A text file that a privileged program appends to without being led elsewhere. Where an ordinary
// user can create entries (a shared folder, the system's temporary folder), a program that runs
// as SYSTEM and opens a known name there can be made to write through a symbolic link, a junction
// or a hard link planted in that place into any file of the system. This file refuses every such
// link, in the file's own place and in every folder on the way to it.

#include <windows.h>

#include <string>
#include <vector>

#include "win/unique_handle.h"

class LogFile {
 public:
  // Opens `path` (relative to the current folder, or full; not a device path) for appending,
  // creating the file if it is not there. ERROR_SUCCESS, or why it was refused or failed: a link
  // or mount point on the way or in the file's place, or a file with more than one name, is refused
  // with ERROR_CANT_ACCESS_FILE, before anything is written.
  DWORD Open(const std::string& path);

  bool IsOpen() const { return file_.IsValid(); }

  // Appends the text as it is; false when it could not be written whole.
  bool Append(const std::string& text);

 private:
  // The folders on the way stay open, none of them shared for deletion, so that none can be
  // renamed or replaced by a link while the file is written.
  std::vector<ScopedHandle> folders_;
  ScopedHandle file_;
};

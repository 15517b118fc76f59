#pragma once

// A text file that a privileged program appends to without being led elsewhere. Where an ordinary
// user can create entries (a shared folder, the system's temporary folder), a program that runs
// as SYSTEM and opens a known name there can be made to write through a symbolic link, a junction
// or a hard link planted in that place into any file of the system. This file refuses every such
// link, in the file's own place and in every folder on the way to it, planted before the file is
// opened or swapped in while it is. The folders on the way are held only from their check until
// the opened file's own handle is checked, and shared for reading and writing meanwhile, not for
// deletion: none can be renamed or removed then, and nothing else on the machine is refused
// while the program runs.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "win/unique_handle.h"

class LogFile {
 public:
  // Called with the full path once the folders on the way are checked and held, right before the
  // file is opened: the moment a user racing the program would swap a folder. For tests only.
  using BetweenCheckAndOpen = std::function<void(const std::string& fullPath)>;

  LogFile() = default;
  explicit LogFile(BetweenCheckAndOpen betweenCheckAndOpen) : betweenCheckAndOpen_(std::move(betweenCheckAndOpen)) {}

  // Opens `path` (relative to the current folder, or full; not a device path) for appending,
  // creating the file if it is not there. ERROR_SUCCESS, or why it was refused or failed: a link
  // or mount point on the way or in the file's place, a file with more than one name, or a file
  // that is not in the folder that was checked, is refused with ERROR_CANT_ACCESS_FILE before
  // anything is written (one made by this call goes again).
  DWORD Open(const std::string& path);

  bool IsOpen() const { return file_.IsValid(); }

  // Appends the text as it is; false when it could not be written whole.
  bool Append(const std::string& text);

 private:
  BetweenCheckAndOpen betweenCheckAndOpen_;
  ScopedHandle file_;
};

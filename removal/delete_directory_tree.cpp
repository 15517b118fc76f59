#include <windows.h>

#include <cstring>
#include <string>

#include "removal/delete_at_restart.h"
#include "removal/removal.h"
#include "win/unique_handle.h"

namespace {

bool IsDots(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// `attributes` are the entry's as last read.
void ClearReadOnly(const std::string& path, DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return;
  (void)::SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

void ClearReadOnly(const std::string& path) { ClearReadOnly(path, ::GetFileAttributesA(path.c_str())); }

// A junction or directory symbolic link goes as a link: removing it leaves its target alone.
RemovalResult RemoveLink(const std::string& path) {
  ClearReadOnly(path);
  RemovalResult result;
  if (!::RemoveDirectoryA(path.c_str())) result.FailUnlessGone(::GetLastError());
  return result;
}

// `directory` has no trailing separator. Each level keeps its own search open while it empties
// its subdirectories. Whatever below it is left for the next restart makes the directory go then
// too, after its contents, as it cannot go before they have.
RemovalResult RemoveTree(const std::string& directory) {
  ClearReadOnly(directory);
  RemovalResult result;
  {
    WIN32_FIND_DATAA entry{};
    const ScopedFindHandle search(::FindFirstFileA((directory + "\\*.*").c_str(), &entry));
    if (search.IsValid()) {
      do {
        if (IsDots(entry.cFileName)) continue;
        const std::string entryPath = directory + "\\" + entry.cFileName;
        const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isDirectory && isLink) {
          result.Add(RemoveLink(entryPath));
        } else if (isDirectory) {
          result.Add(RemoveTree(entryPath));
        } else {
          // The search has just read the file's attributes: asking for them again, file by file,
          // would double the calls on the file system for nothing (thousands in a big tree).
          ClearReadOnly(entryPath, entry.dwFileAttributes);
          result.Add(DeleteFileOrScheduleAtRestart(entryPath));
        }
      } while (::FindNextFileA(search.Get(), &entry));
    }
  }
  if (::RemoveDirectoryA(directory.c_str())) return result;
  const DWORD error = ::GetLastError();
  if (result.atRestart) {
    result.Add(DeleteAtRestart(directory));
  } else if (result.Succeeded()) {
    // Nothing below it failed: what keeps the directory is the directory itself.
    result.FailUnlessGone(error);
  }
  return result;
}

}  // namespace

RemovalResult DeleteDirectoryTree(const std::string& path) {
  // An empty path would make the search pattern "\*.*": the root of the current drive.
  if (path.empty()) return RemovalResult{ERROR_INVALID_PARAMETER};
  std::string directory = path;
  if (directory.back() == '\\') directory.pop_back();
  if (directory.empty()) return RemovalResult{ERROR_INVALID_PARAMETER};

  const DWORD attributes = ::GetFileAttributesA(directory.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return RemoveLink(directory);
  }
  return RemoveTree(directory);
}

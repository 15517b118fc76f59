#include "win/log_file.h"

#include <windows.h>

#include <vector>

namespace {

// Everything that lets the rest of the path lead elsewhere: symbolic links, junctions and mount
// points are all reparse points.
bool IsLinkOrMountPoint(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

std::string FullPath(const std::string& path) {
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.assign(length + 1, '\0');
  }
  return std::string();
}

// Where the folders below the drive or share begin: after "C:\" or after "\\server\share\".
size_t FirstFolderAt(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
  if (path.rfind("\\\\", 0) != 0) return std::string::npos;
  const size_t share = path.find('\\', 2);
  const size_t folders = share == std::string::npos ? share : path.find('\\', share + 1);
  return folders == std::string::npos ? folders : folders + 1;
}

// The path's own attributes are looked at before it is opened as well as through the handle
// afterwards: with FILE_FLAG_OPEN_REPARSE_POINT, Windows opens a link itself rather than what it
// points to, so the handle shows it; a file system that follows links regardless still shows the
// link in the path's attributes.
DWORD RefuseLinks(const std::string& path, const ScopedHandle& opened, bool wantDirectory) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  BY_HANDLE_FILE_INFORMATION info{};
  if (attributes == INVALID_FILE_ATTRIBUTES || !::GetFileInformationByHandle(opened.Get(), &info)) {
    return ::GetLastError();
  }
  if (IsLinkOrMountPoint(attributes) || IsLinkOrMountPoint(info.dwFileAttributes)) return ERROR_CANT_ACCESS_FILE;
  const bool isDirectory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (isDirectory != wantDirectory) return wantDirectory ? ERROR_DIRECTORY : ERROR_CANT_ACCESS_FILE;
  // A second name of a file is a hard link: appending to it would write into whatever file it is.
  if (!wantDirectory && (info.nNumberOfLinks != 1 || ::GetFileType(opened.Get()) != FILE_TYPE_DISK)) {
    return ERROR_CANT_ACCESS_FILE;
  }
  return ERROR_SUCCESS;
}

}  // namespace

DWORD LogFile::Open(const std::string& path) {
  folders_.clear();
  (void)file_.Close();
  // "\\?\" and "\\.\" name devices and other namespaces, not a log's place.
  if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) return ERROR_INVALID_NAME;
  const std::string full = FullPath(path);
  const size_t firstFolder = full.empty() ? std::string::npos : FirstFolderAt(full);
  const size_t nameAt = full.find_last_of('\\');
  if (firstFolder == std::string::npos || nameAt == std::string::npos || nameAt + 1 >= full.size() ||
      nameAt + 1 < firstFolder) {
    return ERROR_INVALID_NAME;
  }

  for (size_t end = full.find('\\', firstFolder); end != std::string::npos && end <= nameAt;
       end = full.find('\\', end + 1)) {
    const std::string folder = full.substr(0, end);
    ScopedHandle opened(::CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!opened.IsValid()) return ::GetLastError();
    const DWORD refused = RefuseLinks(folder, opened, true);
    if (refused != ERROR_SUCCESS) return refused;
    folders_.push_back(std::move(opened));
  }

  ScopedHandle file(::CreateFileA(full.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.IsValid()) return ::GetLastError();
  const DWORD refused = RefuseLinks(full, file, false);
  if (refused != ERROR_SUCCESS) return refused;
  file_ = std::move(file);
  return ERROR_SUCCESS;
}

bool LogFile::Append(const std::string& text) {
  if (!file_.IsValid()) return false;
  DWORD written = 0;
  return ::WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

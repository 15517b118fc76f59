#include "win/log_file.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace {

// Held from their check until the opened file's own handle is checked; after that, what is
// written goes to that file whatever becomes of its folders. A handle that reads the folder's
// entries takes part in sharing (one that reads attributes only does not). Without delete among
// the sharing allowed, nobody can open the folder for deletion meanwhile, which renaming or
// removing it needs. Writing is shared: a rename or a hard link into a folder opens that folder
// for write ("Set File Information Processing", MS-FSA), so a folder held against writing would
// make every rename into it fail with a sharing violation (log rotations, installers' swaps,
// into C:\Windows itself with the default log).
constexpr DWORD kHeldFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
constexpr DWORD kHeldFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

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

// The path of the file or folder a handle is open on, as the system resolved it (links followed),
// in the form `nameKind` asks for and with the volume's device name; empty when the system cannot
// say. GetFinalPathNameByHandleW came with Windows Vista, the oldest Windows this program runs on;
// its wide form, so that no name is changed on the way (the ANSI form replaces what the code page
// lacks, which could make two paths alike).
std::wstring FinalPath(HANDLE handle, DWORD nameKind) {
  std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                     nameKind | VOLUME_NAME_NT);
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.assign(length, L'\0');
  }
  return std::wstring();
}

bool IsDirectlyIn(const std::wstring& file, std::wstring folder) {
  if (folder.empty()) return false;
  if (folder.back() != L'\\') folder += L'\\';
  return file.size() > folder.size() && file.compare(0, folder.size(), folder) == 0 &&
         file.find(L'\\', folder.size()) == std::wstring::npos;
}

// Opening the file by its path resolves every folder on the way again, whatever handles to them
// are held, and the checks of the path's own attributes look at whatever the path then leads to.
// On Windows a held folder that is still empty can even be made a mount point through a handle
// opened for its attributes only, which no sharing refuses. So the opened file's own handle must
// show that it is in the checked folder, on the same volume.
DWORD RefuseOutsideTheFolder(const ScopedHandle& file, HANDLE folder) {
  BY_HANDLE_FILE_INFORMATION fileInfo{};
  BY_HANDLE_FILE_INFORMATION folderInfo{};
  if (!::GetFileInformationByHandle(file.Get(), &fileInfo) || !::GetFileInformationByHandle(folder, &folderInfo)) {
    return ::GetLastError();
  }
  if (fileInfo.dwVolumeSerialNumber != folderInfo.dwVolumeSerialNumber) return ERROR_CANT_ACCESS_FILE;
  // The normalized name is queried part by part, and on a file of a network share that fails with
  // ERROR_ACCESS_DENIED where the account may not read one of the share's folders. The name as
  // opened, with the links the client followed resolved all the same, then stands for both: the
  // server resolves its own junctions within its share, and a link of the share that leads back to
  // this machine would show in the name. Both handles are asked the same way, so that they
  // compare alike.
  std::wstring filePath = FinalPath(file.Get(), FILE_NAME_NORMALIZED);
  DWORD nameKind = FILE_NAME_NORMALIZED;
  if (filePath.empty() && ::GetLastError() == ERROR_ACCESS_DENIED) {
    nameKind = FILE_NAME_OPENED;
    filePath = FinalPath(file.Get(), nameKind);
  }
  return IsDirectlyIn(filePath, FinalPath(folder, nameKind)) ? ERROR_SUCCESS : ERROR_CANT_ACCESS_FILE;
}

// A file this program made where it must not write goes again, through its own handle: by its
// name it could be another file by now.
void Discard(const ScopedHandle& file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  (void)::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

DWORD LogFile::Open(const std::string& path) {
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

  std::vector<ScopedHandle> folders;
  for (size_t end = full.find('\\', firstFolder); end != std::string::npos && end <= nameAt;
       end = full.find('\\', end + 1)) {
    const std::string folder = full.substr(0, end);
    ScopedHandle opened(::CreateFileA(folder.c_str(), kHeldFolderAccess, kHeldFolderSharing, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!opened.IsValid()) return ::GetLastError();
    const DWORD refused = RefuseLinks(folder, opened, true);
    if (refused != ERROR_SUCCESS) return refused;
    folders.push_back(std::move(opened));
  }
  // A file in the root of a drive or share: the root itself can be neither moved nor made a link,
  // and is opened only to compare where the file is.
  ScopedHandle root;
  if (folders.empty()) {
    root = ScopedHandle(::CreateFileA(full.substr(0, firstFolder).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!root.IsValid()) return ::GetLastError();
  }
  const HANDLE checkedFolder = folders.empty() ? root.Get() : folders.back().Get();

  if (betweenCheckAndOpen_) betweenCheckAndOpen_(full);
  ScopedHandle file(::CreateFileA(full.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | DELETE, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  const DWORD opening = ::GetLastError();
  if (!file.IsValid()) return opening;
  DWORD refused = RefuseLinks(full, file, false);
  if (refused == ERROR_SUCCESS) refused = RefuseOutsideTheFolder(file, checkedFolder);
  if (refused != ERROR_SUCCESS) {
    if (opening != ERROR_ALREADY_EXISTS) Discard(file);
    return refused;
  }
  file_ = std::move(file);
  return ERROR_SUCCESS;
}

bool LogFile::Append(const std::string& text) {
  if (!file_.IsValid()) return false;
  DWORD written = 0;
  return ::WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

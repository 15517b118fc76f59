#include "tests/fault_matrix/state_snapshot.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "win/unique_handle.h"

namespace fault_matrix {

namespace {

std::string Utf8(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    (void)::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &narrow[0], size, nullptr, nullptr);
  }
  return narrow;
}

std::string Utf8(const std::wstring& text) { return Utf8(text.data(), text.size()); }

std::string Hex(std::uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::uint64_t Fingerprint(const BYTE* data, DWORD size) {
  std::uint64_t hash = 14695981039346656037ull;
  for (DWORD i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
  return hash;
}

// ---- Registry ----

class RegistryWalk {
 public:
  explicit RegistryWalk(Snapshot& snapshot) : snapshot_(snapshot) {}

  void Walk(HKEY root, const std::wstring& subKey, const std::string& path) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, subKey.empty() ? nullptr : subKey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
      snapshot_[path] = "key, unreadable";
      return;
    }
    snapshot_[path] = "key";
    DWORD longestSubkey = 0, longestValueName = 0, largestValue = 0;
    (void)::RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, nullptr, &longestSubkey, nullptr, nullptr,
                             &longestValueName, &largestValue, nullptr, nullptr);
    RecordValues(opened, path, longestValueName, largestValue);

    std::vector<std::wstring> subkeys;
    std::vector<wchar_t> name(longestSubkey + 2);
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(name.size());
      const LONG status = ::RegEnumKeyExW(opened, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_MORE_DATA) {
        name.resize(name.size() * 2);
        --index;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      subkeys.emplace_back(name.data(), length);
    }
    for (const std::wstring& subkey : subkeys) {
      const std::string subkeyPath = path + "\\" + Utf8(subkey);
      // The current control set is a link to a numbered one: walked once, by the name programs use.
      if (path == "HKLM\\SYSTEM" && subkey.rfind(L"ControlSet", 0) == 0) continue;
      Walk(opened, subkey, subkeyPath);
    }
    (void)::RegCloseKey(opened);
  }

 private:
  void RecordValues(HKEY key, const std::string& path, DWORD longestName, DWORD largestData) {
    std::vector<wchar_t> name(longestName + 2);
    std::vector<BYTE> data(largestData + 2);
    for (DWORD index = 0;; ++index) {
      DWORD nameLength = static_cast<DWORD>(name.size());
      DWORD dataSize = static_cast<DWORD>(data.size());
      DWORD type = 0;
      const LONG status =
          ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
      if (status == ERROR_MORE_DATA) {
        name.resize(name.size() * 2);
        data.resize(std::max<size_t>(data.size() * 2, dataSize + 2));
        --index;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      snapshot_[path + "|" + Utf8(name.data(), nameLength)] = "type " + std::to_string(type) + ", " +
                                                              std::to_string(dataSize) + " bytes " +
                                                              Hex(Fingerprint(data.data(), dataSize));
    }
  }

  Snapshot& snapshot_;
};

// ---- Files ----

constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";

// Through the long-path prefix, so that entries deeper than MAX_PATH are seen too.
void WalkFolder(const std::wstring& folder, Snapshot& snapshot) {
  WIN32_FIND_DATAW entry{};
  const ScopedFindHandle search(::FindFirstFileW((kLongPathPrefix + folder + L"\\*").c_str(), &entry));
  if (!search.IsValid()) return;
  std::vector<std::wstring> folders;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    const std::string attributes = "attributes " + Hex(entry.dwFileAttributes);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      snapshot[Utf8(path)] = "folder, " + attributes;
      // A link is an entry of its own; what it leads to is not part of this tree.
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) folders.push_back(path);
    } else {
      const std::uint64_t size = (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
      const std::uint64_t written =
          (static_cast<std::uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) | entry.ftLastWriteTime.dwLowDateTime;
      snapshot[Utf8(path)] = "file, " + attributes + ", " + std::to_string(size) + " bytes, written " + Hex(written);
    }
  } while (::FindNextFileW(search.Get(), &entry));
  for (const std::wstring& subfolder : folders) WalkFolder(subfolder, snapshot);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c < 0x80 ? std::tolower(c) : c); });
  return text;
}

}  // namespace

Snapshot TakeSnapshot() {
  Snapshot snapshot;
  RegistryWalk registry(snapshot);
  registry.Walk(HKEY_LOCAL_MACHINE, std::wstring(), "HKLM");
  registry.Walk(HKEY_CURRENT_USER, std::wstring(), "HKCU");
  WalkFolder(L"C:", snapshot);
  return snapshot;
}

bool IsWithin(const std::string& path, const std::string& root) {
  if (path.size() < root.size() || Lower(path.substr(0, root.size())) != Lower(root)) return false;
  return path.size() == root.size() || path[root.size()] == '\\' || path[root.size()] == '|';
}

SnapshotDifference Compare(const Snapshot& before, const Snapshot& after) {
  SnapshotDifference difference;
  for (const auto& [path, content] : before) {
    const auto found = after.find(path);
    if (found == after.end()) {
      difference.removed.push_back(path);
    } else if (found->second != content) {
      difference.changed.push_back(path);
    }
  }
  for (const auto& [path, content] : after) {
    if (before.find(path) == before.end()) difference.added.push_back(path);
  }
  return difference;
}

}  // namespace fault_matrix

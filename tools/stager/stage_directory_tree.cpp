#include <algorithm>

#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"

namespace stager {

bool StageDirectoryTree(const std::string& root, const std::vector<TreeEntrySpec>& entries, std::string& error) {
  if (!MakeDirectories(root)) return (error = LastErrorText("creating " + root)), false;
  for (const TreeEntrySpec& entry : entries) {
    const std::string path = root + "\\" + entry.relativePath;
    const std::string parent = path.substr(0, path.find_last_of('\\'));
    const bool made = MakeDirectories(entry.directory ? path : parent) &&
                      (entry.directory || WriteFileText(path, "data " + entry.relativePath + "\r\n"));
    if (!made) return (error = LastErrorText("creating " + path)), false;
  }
  // Deepest first, so that a read-only directory is only marked once its contents are in place.
  std::vector<TreeEntrySpec> byDepth = entries;
  std::stable_sort(byDepth.begin(), byDepth.end(), [](const TreeEntrySpec& a, const TreeEntrySpec& b) {
    return std::count(a.relativePath.begin(), a.relativePath.end(), '\\') >
           std::count(b.relativePath.begin(), b.relativePath.end(), '\\');
  });
  for (const TreeEntrySpec& entry : byDepth) {
    if (entry.attributes == 0) continue;
    const std::string path = root + "\\" + entry.relativePath;
    if (!::SetFileAttributesA(path.c_str(), entry.attributes)) {
      return (error = LastErrorText("setting the attributes of " + path)), false;
    }
  }
  return true;
}

}  // namespace stager

#include <windows.h>

#include "removal/removal.h"

namespace {

std::string CompanionPath(const std::string& infPath) {
  static constexpr char kInfExtension[] = ".inf";
  static constexpr char kCompanionExtension[] = ".PNF";
  std::string companion = infPath;
  for (size_t at = companion.find(kInfExtension); at != std::string::npos;
       at = companion.find(kInfExtension, at + 1)) {
    companion.replace(at, sizeof kInfExtension - 1, kCompanionExtension);
  }
  return companion;
}

}  // namespace

// A path in which nothing was replaced names the INF itself as its companion: the second deletion
// then finds it gone.
RemovalResult DeleteInfPair(const std::string& path) {
  RemovalResult result;
  for (const std::string& file : {path, CompanionPath(path)}) {
    if (!::DeleteFileA(file.c_str())) result.FailUnlessGone(::GetLastError());
  }
  return result;
}

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

void DeleteInfPair(const std::string& path) {
  (void)::DeleteFileA(path.c_str());
  (void)::DeleteFileA(CompanionPath(path).c_str());
}

#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/target_identity.h"
#include "removal/inf_directory.h"
#include "removal/inf_file_list.h"
#include "removal/removal.h"
#include "win/scoped_setup.h"
#include "win/well_known_dirs.h"

namespace {

// Only Windows NT-style INFs (the style the device installer lists a directory's INFs by) count,
// and opening an INF by that style alone is the same test. Asking the device installer for the
// list instead would have it open every INF of the directory, thousands on a busy machine, to
// learn their style, while only the oem ones matter here.
bool ListsTheModel(const std::string& infPath) {
  UINT errorLine = 0;
  const ScopedInfFile inf(::SetupOpenInfFileA(infPath.c_str(), nullptr, INF_STYLE_WIN4, &errorLine));
  if (!inf.IsValid()) return false;
  INFCONTEXT line{};
  return ::SetupFindFirstLineA(inf.Get(), INF_MANUFACTURER_SECTION, DRIVER_NAME, &line) != FALSE;
}

}  // namespace

void DeleteOemInfFiles(const OemInfCalls& calls) {
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) return;
  const std::optional<std::vector<std::string>> names = ListOemInfFiles(*infDirectory);
  if (!names) return;
  for (const std::string& name : *names) {
    if (std::strncmp(name.c_str(), "oem", 3) != 0) continue;
    const std::string path = *infDirectory + "\\" + name;
    if (!ListsTheModel(path)) continue;
    UninstallPublishedInf(name, calls);
    DeleteInfPair(path);
  }
}

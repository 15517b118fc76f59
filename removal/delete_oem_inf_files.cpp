#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "removal/inf_directory.h"
#include "removal/inf_file_list.h"
#include "removal/removal.h"
#include "win/well_known_dirs.h"

void DeleteOemInfFiles(const OemInfCalls& calls) {
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) return;
  // Asking the device installer for the list would have it open every INF of the directory,
  // thousands on a busy machine, to learn their style, while only the oem ones matter here; their
  // style is tested by opening them.
  const std::optional<std::vector<std::string>> names = ListOemInfFiles(*infDirectory);
  if (!names) return;
  for (const std::string& name : *names) {
    if (!IsModelsOemInf(*infDirectory, name)) continue;
    UninstallModelsPublishedInf(name, calls);
    DeleteInfPair(*infDirectory + "\\" + name);
  }
}

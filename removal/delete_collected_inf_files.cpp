#include <optional>
#include <string>

#include "removal/inf_directory.h"
#include "removal/removal.h"
#include "win/well_known_dirs.h"

void DeleteCollectedInfFiles(const StringList& infFiles, const OemInfCalls& calls) {
  if (infFiles.empty()) return;
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) return;
  for (const std::string& name : infFiles) {
    // The entries come from values anyone with write access to the class keys can set.
    if (!IsBareFileName(name)) continue;
    UninstallPublishedInf(*infDirectory, name, calls);
    DeleteInfPair(*infDirectory + "\\" + name);
  }
}

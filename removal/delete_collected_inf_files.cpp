#include <optional>
#include <string>

#include "removal/inf_directory.h"
#include "removal/inf_models.h"
#include "removal/model_printers.h"
#include "removal/removal.h"
#include "win/well_known_dirs.h"

RemovalResult DeleteCollectedInfFiles(const StringList& infFiles, const OemInfCalls& calls) {
  RemovalResult result;
  if (infFiles.empty()) return result;
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) {
    result.FailWithLastError();
    return result;
  }
  const std::optional<std::set<std::string>> installedDrivers = InstalledDriverNames();
  for (const std::string& name : infFiles) {
    // The entries come from values anyone with write access to the class keys can set.
    if (!IsBareFileName(name)) continue;
    const std::string path = *infDirectory + "\\" + name;
    if (KeptForAnotherDriver(path, name, installedDrivers, result)) continue;
    result.Add(UninstallPublishedInf(*infDirectory, name, calls));
    result.Add(DeleteInfPair(path));
  }
  return result;
}

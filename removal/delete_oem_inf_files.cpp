#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "removal/inf_directory.h"
#include "removal/inf_file_list.h"
#include "removal/inf_models.h"
#include "removal/model_printers.h"
#include "removal/removal.h"
#include "win/well_known_dirs.h"

RemovalResult DeleteOemInfFiles(const OemInfCalls& calls) {
  RemovalResult result;
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) {
    result.FailWithLastError();
    return result;
  }
  // Asking the device installer for the list would have it open every INF of the directory,
  // thousands on a busy machine, to learn their style, while only the oem ones matter here; their
  // style is tested by opening them.
  const std::optional<std::vector<std::string>> names = ListOemInfFiles(*infDirectory);
  if (!names) {
    result.FailWithLastError();
    return result;
  }
  const std::optional<std::set<std::string>> installedDrivers = InstalledDriverNames();
  for (const std::string& name : *names) {
    const std::string path = *infDirectory + "\\" + name;
    if (!IsModelsOemInf(*infDirectory, name) || KeptForAnotherDriver(path, name, installedDrivers, result)) continue;
    result.Add(UninstallModelsPublishedInf(name, calls));
    result.Add(DeleteInfPair(path));
  }
  return result;
}

#include <optional>
#include <string>

#include "removal/removal.h"
#include "win/well_known_dirs.h"

void DeleteCollectedInfFiles(const StringList& infFiles) {
  if (infFiles.empty()) return;
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) return;
  for (const std::string& name : infFiles) DeleteInfPair(*infDirectory + "\\" + name);
}

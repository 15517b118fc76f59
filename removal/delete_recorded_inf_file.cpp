#include <windows.h>

#include "removal/inf_directory.h"
#include "removal/removal.h"

void DeleteRecordedInfFile(const OemInfCalls& calls) {
  std::optional<RecordedInf> recorded = FindRecordedInf();
  if (!recorded) return;
  UninstallPublishedInf(recorded->directory, recorded->name, calls);
  (void)::DeleteFileA(recorded->path.c_str());

  // The companion's name ends in "PNF" where the recorded one has its extension, whatever its case.
  // A shorter name has no such characters; taking them from the directory would name a file there.
  static constexpr char kCompanionExtension[] = "PNF";
  constexpr size_t kExtensionLength = sizeof kCompanionExtension - 1;
  if (recorded->name.size() < kExtensionLength) return;
  recorded->path.replace(recorded->path.size() - kExtensionLength, kExtensionLength, kCompanionExtension);
  (void)::DeleteFileA(recorded->path.c_str());
}

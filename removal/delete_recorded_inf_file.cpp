#include <windows.h>

#include "removal/inf_directory.h"
#include "removal/inf_models.h"
#include "removal/model_printers.h"
#include "removal/removal.h"

namespace {

void DeleteRecordedFile(const std::string& path, RemovalResult& result) {
  if (!::DeleteFileA(path.c_str())) result.FailUnlessGone(::GetLastError());
}

}  // namespace

// No key, no value or a value that names no file of the INF directory leave nothing to delete.
RemovalResult DeleteRecordedInfFile(const OemInfCalls& calls) {
  RemovalResult result;
  LONG keyOpened = ERROR_SUCCESS;
  std::optional<RecordedInf> recorded = FindRecordedInf(&keyOpened);
  result.FailUnlessGone(static_cast<DWORD>(keyOpened));
  if (!recorded || KeptForAnotherDriver(recorded->path, recorded->name, InstalledDriverNames(), result)) return result;
  result.Add(UninstallPublishedInf(recorded->directory, recorded->name, calls));
  DeleteRecordedFile(recorded->path, result);

  // The companion's name ends in "PNF" where the recorded one has its extension, whatever its case.
  // A shorter name has no such characters; taking them from the directory would name a file there.
  static constexpr char kCompanionExtension[] = "PNF";
  constexpr size_t kExtensionLength = sizeof kCompanionExtension - 1;
  if (recorded->name.size() < kExtensionLength) return result;
  recorded->path.replace(recorded->path.size() - kExtensionLength, kExtensionLength, kCompanionExtension);
  DeleteRecordedFile(recorded->path, result);
  return result;
}

#include <windows.h>

#include "identity/target_identity.h"
#include "removal/inf_directory.h"
#include "removal/registry_text.h"
#include "removal/removal.h"
#include "win/reg_key.h"
#include "win/well_known_dirs.h"

namespace {

void DeleteRecordedFile(const std::string& path, RemovalResult& result) {
  if (!::DeleteFileA(path.c_str())) result.FailUnlessGone(::GetLastError());
}

}  // namespace

// No key, no value or a value that names no file of the INF directory leave nothing to delete.
RemovalResult DeleteRecordedInfFile(const OemInfCalls& calls) {
  RemovalResult result;
  RegKey uninstallKey;
  const LONG opened = uninstallKey.Open(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, KEY_READ);
  if (opened != ERROR_SUCCESS) {
    result.FailUnlessGone(static_cast<DWORD>(opened));
    return result;
  }
  std::optional<std::string> infFile = ReadValueText(uninstallKey.Get(), "InfFile");
  if (!infFile) return result;
  // The value is only a record in the registry; it must not lead the deletion anywhere else.
  const std::optional<std::string> infDirectory = InfDirectory();
  std::string name;
  if (!infDirectory || !NamesFileDirectlyIn(*infFile, *infDirectory, name)) return result;
  result.Add(UninstallPublishedInf(*infDirectory, name, calls));
  DeleteRecordedFile(*infFile, result);

  // The companion's name ends in "PNF" where the recorded one has its extension, whatever its case.
  // A shorter name has no such characters; taking them from the directory would name a file there.
  static constexpr char kCompanionExtension[] = "PNF";
  constexpr size_t kExtensionLength = sizeof kCompanionExtension - 1;
  if (name.size() < kExtensionLength) return result;
  infFile->replace(infFile->size() - kExtensionLength, kExtensionLength, kCompanionExtension);
  DeleteRecordedFile(*infFile, result);
  return result;
}

#include <windows.h>

#include "identity/target_identity.h"
#include "removal/inf_directory.h"
#include "removal/registry_text.h"
#include "removal/removal.h"
#include "win/reg_key.h"
#include "win/well_known_dirs.h"

void DeleteRecordedInfFile(const OemInfCalls& calls) {
  RegKey uninstallKey;
  if (uninstallKey.Open(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, KEY_READ) != ERROR_SUCCESS) return;
  std::optional<std::string> infFile = ReadValueText(uninstallKey.Get(), "InfFile");
  if (!infFile) return;
  // The value is only a record in the registry; it must not lead the deletion anywhere else.
  const std::optional<std::string> infDirectory = InfDirectory();
  std::string name;
  if (!infDirectory || !NamesFileDirectlyIn(*infFile, *infDirectory, name)) return;
  UninstallPublishedInf(*infDirectory, name, calls);
  (void)::DeleteFileA(infFile->c_str());

  // The companion's name ends in "PNF" where the recorded one has its extension, whatever its case.
  // A shorter name has no such characters; taking them from the directory would name a file there.
  static constexpr char kCompanionExtension[] = "PNF";
  constexpr size_t kExtensionLength = sizeof kCompanionExtension - 1;
  if (name.size() < kExtensionLength) return;
  infFile->replace(infFile->size() - kExtensionLength, kExtensionLength, kCompanionExtension);
  (void)::DeleteFileA(infFile->c_str());
}

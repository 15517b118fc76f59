#include "removal/inf_directory.h"

#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <utility>

#include "identity/target_identity.h"
#include "removal/registry_text.h"
#include "win/reg_key.h"
#include "win/scoped_setup.h"
#include "win/well_known_dirs.h"

bool IsBareFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string::npos;
}

bool NamesFileDirectlyIn(const std::string& path, const std::string& directory, std::string& name) {
  const size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return false;
  const std::string parent = path.substr(0, separator);
  name = path.substr(separator + 1);
  return IsBareFileName(name) &&
         ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, parent.c_str(), static_cast<int>(parent.size()),
                          directory.c_str(), static_cast<int>(directory.size())) == CSTR_EQUAL;
}

bool ListsTheModel(const std::string& path) {
  UINT errorLine = 0;
  const ScopedInfFile inf(::SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine));
  if (!inf.IsValid()) return false;
  INFCONTEXT line{};
  return ::SetupFindFirstLineA(inf.Get(), INF_MANUFACTURER_SECTION, DRIVER_NAME, &line) != FALSE;
}

bool IsModelsOemInf(const std::string& directory, const std::string& name) {
  return std::strncmp(name.c_str(), "oem", 3) == 0 && ListsTheModel(directory + "\\" + name);
}

std::optional<RecordedInf> FindRecordedInf(LONG* keyOpened) {
  RegKey uninstallKey;
  const LONG opened = uninstallKey.Open(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, KEY_READ);
  if (keyOpened != nullptr) *keyOpened = opened;
  if (opened != ERROR_SUCCESS) return std::nullopt;
  RecordedInf recorded;
  std::optional<std::string> infFile = ReadValueText(uninstallKey.Get(), "InfFile");
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infFile || !infDirectory || !NamesFileDirectlyIn(*infFile, *infDirectory, recorded.name)) return std::nullopt;
  recorded.path = std::move(*infFile);
  recorded.directory = *infDirectory;
  return recorded;
}

RemovalResult UninstallModelsPublishedInf(const std::string& name, const OemInfCalls& calls) {
  RemovalResult result;
  if (::_strnicmp(name.c_str(), "oem", 3) == 0 && !calls.uninstallOemInf(name.c_str(), SUOI_FORCEDELETE, nullptr)) {
    result.FailWithLastError();
  }
  return result;
}

RemovalResult UninstallPublishedInf(const std::string& directory, const std::string& name, const OemInfCalls& calls) {
  if (!ListsTheModel(directory + "\\" + name)) return RemovalResult{};
  return UninstallModelsPublishedInf(name, calls);
}

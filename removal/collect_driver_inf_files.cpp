#include <windows.h>

#include <string>

#include "identity/target_identity.h"
#include "removal/registry_text.h"
#include "removal/removal.h"
#include "win/reg_key.h"

namespace {

// The printer device setup class: one subkey per installed printer driver.
constexpr char PRINTER_CLASS_KEY[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}";

// An index that fails with anything but "no more items" is passed over; a key that fails index
// after index (deleted while it is walked, say) would otherwise be walked for ever.
constexpr int kMostFailedIndicesInARow = 16;

}  // namespace

RemovalResult CollectDriverInfFiles(StringList& infFiles) {
  infFiles.clear();
  RemovalResult result;
  RegKey classKey;
  const LONG opened = classKey.Open(HKEY_LOCAL_MACHINE, PRINTER_CLASS_KEY, KEY_READ);
  if (opened != ERROR_SUCCESS) {
    result.FailUnlessGone(static_cast<DWORD>(opened));
    return result;
  }

  int failedInARow = 0;
  for (DWORD index = 0; failedInARow < kMostFailedIndicesInARow; ++index) {
    char subkeyName[256] = {};
    DWORD nameSize = sizeof subkeyName;
    const LONG status =
        ::RegEnumKeyExA(classKey.Get(), index, subkeyName, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) {
      if (++failedInARow == kMostFailedIndicesInARow) result.Fail(static_cast<DWORD>(status));
      continue;
    }
    failedInARow = 0;

    const std::string driverKeyPath = std::string(PRINTER_CLASS_KEY) + "\\" + subkeyName;
    RegKey driverKey;
    if (driverKey.Open(HKEY_LOCAL_MACHINE, driverKeyPath.c_str(), KEY_READ) != ERROR_SUCCESS) continue;
    const std::optional<std::string> description = ReadValueText(driverKey.Get(), "DriverDesc");
    if (!description || *description != DRIVER_NAME) continue;
    // A missing InfPath still adds an entry; an empty one names no file.
    infFiles.push_front(ReadValueText(driverKey.Get(), "InfPath").value_or(std::string()));
  }
  return result;
}

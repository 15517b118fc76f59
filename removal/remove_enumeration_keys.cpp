#include <cstring>
#include <string>

#include "app/target_identity.h"
#include "regperm/regperm.h"
#include "removal/removal.h"

void RemoveEnumerationKeys() {
  // Unread, the name stays empty and the paths begin with three backslashes; their permission
  // step then fails and the keys are deleted all the same.
  char computerName[256] = {};
  DWORD size = sizeof(computerName);
  (void)::GetComputerNameA(computerName, &size);
  const std::string machinePrefix = "\\\\" + std::string(computerName, strnlen(computerName, sizeof(computerName)));

  (void)ForceDeleteKey((machinePrefix + USBPRINT_ENUM_KEY_PATH).c_str(), USBPRINT_ENUM_KEY);
  (void)ForceDeleteKey((machinePrefix + LPTENUM_ENUM_KEY_PATH).c_str(), LPTENUM_ENUM_KEY);
}

#include <windows.h>
#include <sddl.h>

#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"
#include "win/reg_key.h"
#include "win/unique_handle.h"

namespace stager {

namespace {

constexpr char DEVICE_INSTANCE[] = "7&2A1B3C4D&0&USB001";

const char* LockDescriptor(KeyLock lock) {
  switch (lock) {
    case KeyLock::UntilGranted: return "O:SYD:P(A;;KA;;;SY)(A;;KR;;;BA)(A;;WD;;;BA)";
    case KeyLock::Sealed: return "O:SYD:P(A;;KA;;;SY)(A;;KR;;;BA)";
    case KeyLock::Closed: return "O:SYD:P(A;;KA;;;SY)";
    case KeyLock::None: break;
  }
  return nullptr;
}

// Windows lets a key be given an owner other than the caller only with the restore privilege.
bool EnableRestorePrivilege() {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) return false;
  const ScopedHandle token(opened);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueA(nullptr, SE_RESTORE_NAME, &privileges.Privileges[0].Luid)) return false;
  return ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr) &&
         ::GetLastError() == ERROR_SUCCESS;
}

}  // namespace

bool LockKey(const std::string& key, KeyLock lock, std::string& error) {
  return LockKey(HKEY_LOCAL_MACHINE, key, lock, error);
}

bool LockKey(HKEY root, const std::string& key, KeyLock lock, std::string& error) {
  const char* descriptorText = LockDescriptor(lock);
  if (descriptorText == nullptr) return true;
  if (!EnableRestorePrivilege()) return (error = LastErrorText("enabling the restore privilege")), false;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptorText, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
    return (error = LastErrorText("reading a security descriptor")), false;
  }
  const ScopedLocalMemory ownedDescriptor(descriptor);
  RegKey opened;
  LONG status = opened.Open(root, key.c_str(), WRITE_OWNER | WRITE_DAC);
  if (status == ERROR_SUCCESS) {
    status = ::RegSetKeySecurity(opened.Get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor);
  }
  if (status != ERROR_SUCCESS) error = "locking " + key + " failed with " + std::to_string(status);
  return status == ERROR_SUCCESS;
}

bool StageDeviceKey(const DeviceKeySpec& deviceKey, std::string& error) {
  if (!deviceKey.instance) {
    RegKey bare;
    if (bare.Create(HKEY_LOCAL_MACHINE, deviceKey.key.c_str(), KEY_WRITE) != ERROR_SUCCESS) {
      return (error = "creating " + deviceKey.key), false;
    }
    return LockKey(deviceKey.key, deviceKey.lock, error);
  }
  const std::string instance = deviceKey.key + "\\" + DEVICE_INSTANCE;
  if (!WriteRegistryString(HKEY_LOCAL_MACHINE, instance, "DeviceDesc", "KARVELO QTM-820wide") ||
      !WriteRegistryString(HKEY_LOCAL_MACHINE, instance, "Mfg", "KARVELO") ||
      !WriteRegistryString(HKEY_LOCAL_MACHINE, instance, "Driver", "{4d36e979-e325-11ce-bfc1-08002be10318}\\0001") ||
      !WriteRegistryDword(HKEY_LOCAL_MACHINE, instance, "ConfigFlags", 0) ||
      !WriteRegistryString(HKEY_LOCAL_MACHINE, instance + "\\Device Parameters", "Port Name", "USB001")) {
    return (error = "writing " + instance), false;
  }
  // The instance first: a locked key may no longer let its subkeys be changed.
  return LockKey(instance, deviceKey.instanceLock, error) && LockKey(deviceKey.key, deviceKey.lock, error);
}

std::vector<DeviceKeySpec> ModelEnumerationKeys() {
  return {
      {"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KARVELOQTM-820wide", KeyLock::None, KeyLock::None},
      {"SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KARVELOQTM-820wide", KeyLock::UntilGranted, KeyLock::None},
  };
}

}  // namespace stager

#include "removal/printer_class_keys.h"

#include "identity/target_identity.h"
#include "removal/registry_text.h"
#include "win/reg_key.h"

namespace {

// The printer device setup class: one subkey per installed printer driver.
constexpr char PRINTER_CLASS_KEY[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}";

}  // namespace

LONG ForEachModelClassKey(const std::function<bool(HKEY key, const std::string& path)>& visit) {
  RegKey classKey;
  const LONG opened = classKey.Open(HKEY_LOCAL_MACHINE, PRINTER_CLASS_KEY, KEY_READ);
  if (opened != ERROR_SUCCESS) return opened;
  return ForEachSubkey(classKey.Get(), [&](const std::string& name) {
    const std::string path = std::string(PRINTER_CLASS_KEY) + "\\" + name;
    RegKey driverKey;
    if (driverKey.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != ERROR_SUCCESS) return true;
    const std::optional<std::string> description = ReadValueText(driverKey.Get(), "DriverDesc");
    if (!description || *description != DRIVER_NAME) return true;
    return visit(driverKey.Get(), path);
  });
}

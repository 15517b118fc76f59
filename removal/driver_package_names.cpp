#include "removal/driver_package_names.h"

#include <cstring>

#include "identity/target_identity.h"
#include "win/well_known_dirs.h"

namespace {
constexpr std::size_t kShortestModelName = 5;
}

std::optional<DriverPackageNames> ComposeDriverPackageNames(const char* model, const char* letter) {
  if (model == nullptr || letter == nullptr || std::strlen(model) < kShortestModelName) return std::nullopt;
  const std::string whole = model;
  const std::string head3 = whole.substr(0, 3);
  const std::string tail = whole.substr(4);
  const std::string tail4 = tail.substr(0, 4);

  DriverPackageNames names;
  names.formMarker = tail;
  names.driverName = DRIVER_NAME_PREFIX + whole;
  names.driverKey = DRIVER_KEY_PREFIX + whole;
  names.driverPrinterKey = DRIVER_PRINTER_KEY_PREFIX + whole;
  names.monitorName = MONITOR_NAME_PREFIX + head3 + tail;
  names.monitorKey = MONITOR_KEY_PREFIX + head3 + tail;
  names.processorName = PROCESSOR_NAME_PREFIX + head3 + tail;
  names.processorKey = PROCESSOR_KEY_PREFIX + head3 + tail;
  names.uninstallKey = UNINSTALL_KEY_PREFIX + whole;
  names.monitorFile = "MON" + tail4 + ".DLL";
  names.processorFile = "PRO" + tail4 + ".dll";
  names.driverFileStem = head3 + tail4 + letter;
  names.uiFileStem = "UI" + tail4;
  names.unidrvFileStem = "UNI" + tail4;
  return names;
}

std::vector<std::optional<std::string>> DriverPackageFilePaths(const DriverPackageNames& names) {
  std::vector<std::optional<std::string>> paths;
  const auto add = [&](const std::optional<std::string>& directory, const std::string& name) {
    paths.push_back(directory ? std::optional<std::string>(*directory + "\\" + name) : std::nullopt);
  };
  add(SystemDirectory(), names.monitorFile);
  add(PrintProcessorDirectory(), names.processorFile);

  std::optional<std::string> versionFolder = PrinterDriverDirectory();
  if (versionFolder) *versionFolder += "\\3";
  const std::optional<std::string> windows = WindowsDirectory();
  add(versionFolder, names.driverFileStem + ".dll");
  add(windows, names.driverFileStem + ".dll");
  add(versionFolder, names.driverFileStem + ".gpd");
  add(windows, names.driverFileStem + ".gpd");
  add(versionFolder, names.driverFileStem + ".BUD");
  add(versionFolder, names.uiFileStem + ".dll");
  add(windows, names.uiFileStem + ".dll");
  add(versionFolder, names.unidrvFileStem + ".dll");
  add(windows, names.unidrvFileStem + ".dll");
  add(versionFolder, names.uiFileStem + ".INI");
  add(windows, names.uiFileStem + ".INI");
  return paths;
}

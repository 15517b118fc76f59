#include <windows.h>
#include <winspool.h>

#include <vector>

#include "removal/removal.h"
#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"
#include "win/well_known_dirs.h"

namespace stager {

namespace {

std::vector<char> Writable(const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return copy;
}

// A list of strings closed by an empty one.
std::vector<char> MultiString(const std::vector<std::string>& items) {
  std::vector<char> list;
  for (const std::string& item : items) {
    list.insert(list.end(), item.begin(), item.end());
    list.push_back('\0');
  }
  list.push_back('\0');
  return list;
}

}  // namespace

DriverSpec ModelDriver() {
  return DriverSpec{"KARVELO QTM-820wide", "QTM820wE.dll", "QTM820wE.gpd", "UI820w.dll",
                    {"UNI820w.dll", "QTM820wE.BUD", "UI820w.INI"}};
}

DriverSpec OtherDriver(const std::string& name) {
  return DriverSpec{name, "OTHRDRV.dll", "OTHRDRV.gpd", "OTHRUI.dll", {}};
}

bool StageDriver(const DriverSpec& driver, std::string& error) {
  const std::optional<std::string> driverDirectory = PrinterDriverDirectory();
  if (!driverDirectory) return (error = "no printer driver directory"), false;
  const std::string versionFolder = *driverDirectory + "\\3";
  if (!MakeDirectories(versionFolder)) return (error = LastErrorText("creating " + versionFolder)), false;
  std::vector<std::string> files{driver.driverFile, driver.dataFile, driver.configFile};
  files.insert(files.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
  for (const std::string& file : files) {
    if (!WriteFileText(versionFolder + "\\" + file, "staged driver file " + file + "\r\n")) {
      return (error = LastErrorText("writing " + file)), false;
    }
  }

  std::vector<char> name = Writable(driver.name);
  std::vector<char> environment = Writable("Windows NT x86");
  std::vector<char> driverPath = Writable(versionFolder + "\\" + driver.driverFile);
  std::vector<char> dataFile = Writable(versionFolder + "\\" + driver.dataFile);
  std::vector<char> configFile = Writable(versionFolder + "\\" + driver.configFile);
  std::vector<std::string> dependentPaths;
  for (const std::string& file : driver.dependentFiles) dependentPaths.push_back(versionFolder + "\\" + file);
  std::vector<char> dependents = MultiString(dependentPaths);
  DRIVER_INFO_3A info{};
  info.cVersion = 3;
  info.pName = name.data();
  info.pEnvironment = environment.data();
  info.pDriverPath = driverPath.data();
  info.pDataFile = dataFile.data();
  info.pConfigFile = configFile.data();
  info.pDependentFiles = dependents.data();
  if (!::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES)) {
    return (error = LastErrorText("AddPrinterDriverExA " + driver.name)), false;
  }
  return true;
}

bool StagePrinter(const PrinterSpec& printer, std::string& error) {
  std::vector<char> name = Writable(printer.name);
  std::vector<char> port = Writable("FILE:");
  std::vector<char> driver = Writable(printer.driverName);
  std::vector<char> processor = Writable("WinPrint");
  std::vector<char> dataType = Writable("RAW");
  PRINTER_INFO_2A info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  info.pPrintProcessor = processor.data();
  info.pDatatype = dataType.data();
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE added = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (added == nullptr) return (error = LastErrorText("AddPrinterA " + printer.name)), false;
  ::ClosePrinter(added);
  return !printer.settingsKey || StageSettingsKey(printer.name, error);
}

bool StageSettingsKey(const std::string& printerName, std::string& error) {
  const std::string key = PrinterSettingsKey(printerName);
  if (!WriteRegistryString(HKEY_LOCAL_MACHINE, key, "PrinterName", printerName) ||
      !WriteRegistryDword(HKEY_LOCAL_MACHINE, key + "\\Paper", "Width", 80)) {
    return (error = "writing " + key), false;
  }
  return true;
}

}  // namespace stager

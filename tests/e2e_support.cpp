#include "tests/e2e_support.h"

#include <gtest/gtest.h>

#include "app/target_identity.h"
#include "tools/robot/launched_program.h"
#include "tools/stager/system_state.h"

std::string UninstallerCommandLine() { return "\"" + OwnFolder() + "qtm820wide_uninstall.exe\""; }

bool StageForTest(const stager::Installation& installation) {
  std::string error;
  if (stager::Stage(installation, error)) return true;
  ADD_FAILURE() << "staging failed: " << error;
  return false;
}

std::set<std::string> InstalledPrinterNames() {
  std::set<std::string> names;
  for (const stager::ListedPrinter& printer : stager::ListPrinters()) names.insert(printer.name);
  return names;
}

bool ModelDriverInstalled() {
  for (const std::string& driver : stager::ListPrinterDrivers()) {
    if (driver == DRIVER_NAME) return true;
  }
  return false;
}

bool SettingsKeyExists(const std::string& keyName) {
  return stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KARVELO_POS_PRINTER\\" + keyName);
}

bool UninstallKeyExists() { return stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY); }

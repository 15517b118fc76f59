#pragma once

// What the end-to-end tests share: the uninstaller beside them, staging in this prefix, and
// looks at the state the uninstaller leaves.

#include <windows.h>

#include <set>
#include <string>

#include "tools/stager/installation.h"

// The command line that starts the uninstaller built beside the test.
std::string UninstallerCommandLine();

// Stages the installation, or explains in the test's failure why it could not.
[[nodiscard]] bool StageForTest(const stager::Installation& installation);

std::set<std::string> InstalledPrinterNames();
// A printer named and using a driver named in Unicode, for names that no ANSI name spells.
void StagePrinterNamedInUnicode(const std::wstring& name, const std::wstring& driver);
bool ModelDriverInstalled();

// The settings key of this name (as the driver spells it) below the driver's settings root.
bool SettingsKeyExists(const std::string& keyName);
bool UninstallKeyExists();

// Takes every right on the key below HKEY_LOCAL_MACHINE from everyone, the spooler included where
// it reads the key in the calling program's own process.
[[nodiscard]] bool DenyEveryoneEveryRight(const std::string& key);

#pragma once

// The printer device setup class keys that name the model's driver.

#include <windows.h>

#include <functional>
#include <string>

// Calls `visit` with each printer class driver key whose DriverDesc is the driver name, exactly
// (opened for reading), and its path below HKEY_LOCAL_MACHINE, in enumeration order, until
// `visit` answers false. The registry's status: ERROR_SUCCESS, why the class key could not be
// opened (ERROR_FILE_NOT_FOUND without one), or why its walk ended early.
LONG ForEachModelClassKey(const std::function<bool(HKEY key, const std::string& path)>& visit);

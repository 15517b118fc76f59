#pragma once

#include <windows.h>

#include "app/uninstall_log.h"

// The whole uninstall without a window: every printer of the model and, with them, the driver
// package, each step written to the log. Never restarts Windows. Returns the exit code:
// ERROR_SUCCESS, ERROR_SUCCESS_REBOOT_REQUIRED when Windows must restart to complete the removal,
// or ERROR_INSTALL_FAILURE when the printers could not be listed, one of the model's cannot be
// named, so that the package stays, or anything the run was to remove is still there after it
// (each written to the log).
DWORD UninstallSilently(UninstallLog& log);

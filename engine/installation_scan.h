#pragma once

// What the machine holds of the model, as the scan finds it before anything is removed.

#include <windows.h>

#include "removal/removal.h"

struct ScanFindings {
  enum class Verdict {
    // The spooler could not list the printers; `listError` tells why.
    PrinterListFailed,
    // Printers of the model are there.
    Printers,
    // No printer of the model, but its driver is installed.
    PackageWithoutPrinters,
    // Nothing of the model is installed.
    NothingInstalled,
  };

  Verdict verdict = Verdict::NothingInstalled;
  DWORD listError = ERROR_SUCCESS;
  // The model's printers that can be named, each added at the head as the spooler lists them.
  StringList printerNames;
  // Every printer of the model, those the ANSI code page cannot spell included.
  int foundPrinterCount = 0;
};

// Lists the model's printers and, when there are none, looks for the model's driver.
ScanFindings ScanForTheModel();

// Deletes the product's Uninstall key with everything below it, once nothing of the model is
// left for it to describe.
RemovalResult DropUninstallKey();

#pragma once

// What the machine holds of the model, as the scan finds it before anything is removed.

#include <windows.h>

#include <string>

#include "removal/removal.h"

struct ScanFindings {
  enum class Verdict {
    // The spooler could not list the printers; `listError` tells why.
    PrinterListFailed,
    // Printers of the model are there.
    Printers,
    // No printer of the model, but its driver is installed, or something else of its package is
    // left (`leftover` says what).
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
  // With no printer and no driver of the model: the first thing left of its package found.
  std::string leftover;
};

// Lists the model's printers and, when there are none, looks for the model's driver and then for
// whatever else is left of its package, as another tool or a run ended half-way may leave it.
ScanFindings ScanForTheModel();

// Deletes the product's Uninstall key with everything below it, once nothing of the model is
// left for it to describe.
RemovalResult DropUninstallKey();

#pragma once

// The removal operations: each takes out one kind of artefact of the installed product. None of
// them reports to the user; each does what it can and leaves the caller to go on.

#include <list>
#include <string>

// Names in the order the uninstaller keeps them: new names go to the head.
using StringList = std::list<std::string>;

// The settings key the driver keeps for a printer, below HKEY_LOCAL_MACHINE: every space of the
// name becomes an underscore, nothing else changes.
std::string PrinterSettingsKey(const std::string& printerName);

// Deletes each named printer from the spooler, head to tail, and then its settings key with
// everything below it, whether or not the printer could be deleted.
void DeletePrinters(const StringList& printerNames);

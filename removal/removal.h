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

// ---- Device nodes and enumeration keys

#include <windows.h>

// Removes every device node of the "USB" enumerator, present or not, whose first hardware ID
// matches `hardwareIdPattern` over its first 21 characters, ignoring case (where either ends
// sooner, both must end there). Returns TRUE when the whole device list was walked and released;
// FALSE when there was no list, a removal failed (the walk stops there), the list could not be
// released, or the pattern has 50 characters or more (then nothing is removed).
BOOL RemoveUsbDeviceNodes(const char* hardwareIdPattern);

// Deletes the model's USBPRINT and then its LPTENUM enumeration key with everything below them,
// each after granting Everyone full control of it through a connection to this computer by name.
void RemoveEnumerationKeys();

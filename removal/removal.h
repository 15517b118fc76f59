#pragma once

// The removal operations: each takes out one kind of artefact of the installed product. None of
// them speaks to the user; each does what it can, tells its caller how that went and leaves it to
// go on.

#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <list>
#include <string>

#include "removal/removal_result.h"

// Names in the order the uninstaller keeps them: new names go to the head.
using StringList = std::list<std::string>;

// The settings key the driver keeps for a printer, below HKEY_LOCAL_MACHINE: every space of the
// name becomes an underscore, nothing else changes.
std::string PrinterSettingsKey(const std::string& printerName);

// The calls through which a printer's queue is emptied before its deletion; the system's own by
// default. Wine keeps no print jobs across processes, so a queue that holds jobs, or a paused one,
// cannot be brought about there, and a caller can stand in for them.
struct PrinterQueueCalls {
  decltype(&::GetPrinterA) getPrinter = &::GetPrinterA;
  decltype(&::SetPrinterA) setPrinter = &::SetPrinterA;
};

// Deletes each named printer from the spooler, head to tail, its queue emptied first (its jobs
// purged, then resumed if paused), and then its settings key with everything below it, whether or
// not the printer could be deleted. A printer that the spooler still lists a few seconds after taking
// on its deletion (pending until its jobs are gone) counts as not deleted. Reports each printer
// as a step.
void DeletePrinters(const StringList& printerNames, const ReportStep& report = ReportStep(),
                    const PrinterQueueCalls& calls = PrinterQueueCalls{});

// ---- The driver package, its INF files and its data directory ----

// The spooler calls through which the package's driver, forms and print processor are removed;
// what the package removal does next depends on their outcome. They default to the system's own.
// Some spoolers only acknowledge these calls (Wine's form calls change nothing, its processor
// deletion always answers success, and its driver deletion refuses one version whether or not the
// driver is in use), so a caller can stand in for them.
struct PackageSpoolerCalls {
  decltype(&::DeletePrinterDriverExA) deletePrinterDriverEx = &::DeletePrinterDriverExA;
  decltype(&::EnumFormsA) enumForms = &::EnumFormsA;
  decltype(&::DeleteFormA) deleteForm = &::DeleteFormA;
  decltype(&::DeletePrintProcessorA) deletePrintProcessor = &::DeletePrintProcessorA;
};

// Takes the model's driver package out of the print system: the forms whose names hold the model
// name without its maker's three letters and hyphen, the driver, the language monitor and the print
// processor (each from the registry where the spooler refuses, unless it may still use them: a
// printer of the model is still listed, or the spooler says it is in use), with a restart of the
// spooler service between driver and monitor (where the driver stayed for a listed printer, the
// printers are looked for again after it, and the driver is deleted once they went), then the
// thirteen driver files (one in use goes at the next restart) and, last, the product's Uninstall
// key; reports each of these as a step. A model name of fewer than five characters is refused and
// nothing is done.
void RemoveDriverPackage(const char* model, const char* letter, const ReportStep& report = ReportStep(),
                         const PackageSpoolerCalls& spooler = PackageSpoolerCalls{});

// Every oem INF of the Windows INF directory that the operations below delete is first uninstalled
// through the system, which also takes its package out of the driver store, when it is the
// model's own: its manufacturer section has a line keyed by the driver name. None of them deletes
// an INF that an installed driver of another model comes from (inf_models.h); the result notes it.

// Deletes the file at `path`, then its compiled companion: the same path with every ".inf"
// replaced by ".PNF" (case-sensitive, so a name ending in ".INF" keeps its companion).
RemovalResult DeleteInfPair(const std::string& path);

// How a published ("oem") INF is uninstalled before it is deleted; the system's own call by default.
struct OemInfCalls {
  decltype(&::SetupUninstallOEMInfA) uninstallOemInf = &::SetupUninstallOEMInfA;
};

// Deletes the INF file recorded in the Uninstall key's InfFile value and its companion, whose name
// ends in "PNF" in place of the value's last three characters; only a file directly in the Windows
// INF directory (compared ignoring case) is deleted. Runs before the key goes.
RemovalResult DeleteRecordedInfFile(const OemInfCalls& calls = OemInfCalls{});

// Replaces `infFiles` with the InfPath of every printer class driver key whose DriverDesc is the
// driver name, exactly; each goes to the head, so the list ends in reverse enumeration order. Fails
// only when the class key is there but cannot be read.
RemovalResult CollectDriverInfFiles(StringList& infFiles);

// Deletes each listed INF file, head to tail, from the Windows INF directory with its companion.
// An entry that is not a bare file name is passed over.
RemovalResult DeleteCollectedInfFiles(const StringList& infFiles, const OemInfCalls& calls = OemInfCalls{});

// Deletes, with its companion, every Windows NT-style INF file of the Windows INF directory whose
// name starts with "oem" (in that case) and whose manufacturer section has a line keyed by the
// driver name.
RemovalResult DeleteOemInfFiles(const OemInfCalls& calls = OemInfCalls{});

// Removes the directory with everything below it, read-only, hidden and system entries included.
// An entry that is a link to elsewhere (a junction or symbolic link) is removed as a link; what it
// points to is never entered. A file in use is deleted at the next restart, and so are the
// directories it keeps, after it; whatever else cannot be deleted stays, with the directories
// above it.
RemovalResult DeleteDirectoryTree(const std::string& path);

// ---- Device nodes and enumeration keys ----

// Removes every device node of the "USB" enumerator, present or not, whose first hardware ID
// matches `hardwareIdPattern` over its first 21 characters, ignoring case (where either ends
// sooner, both must end there); such nodes are looked for below the Enum\USB keys of the
// pattern's vendor and product alone (model_device_nodes.h). Returns TRUE when the whole device
// list was walked and released; FALSE when there was no list, a removal failed (the walk stops
// there), the list could not be released, or the pattern has 50 characters or more (then nothing
// is removed).
BOOL RemoveUsbDeviceNodes(const char* hardwareIdPattern);

// Removes through the device installer every device node, present or not, below the model's
// USBPRINT enumeration key, then every one below its LPTENUM key; a node that cannot be removed is
// passed over. Then
// deletes both keys with whatever is left below them, USBPRINT first, each after granting Everyone
// full control of it through a connection to this computer by name.
RemovalResult RemoveEnumerationKeys();

// Deletes, with everything below it, every printer class driver key whose DriverDesc is the driver
// name, exactly, and that no device node below the model's enumeration keys names as its driver
// key. The device installer deletes a printer node's driver key with the node; this takes those
// whose nodes went without them (their keys deleted by hand or by a cleaning tool), which name the
// removed driver for ever otherwise, and leaves a node that could not be removed its own. Runs
// after the nodes' removal, and after the INF names were collected from these keys.
RemovalResult DeleteModelClassKeys();

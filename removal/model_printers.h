#pragma once

// What the spooler knows of the model: its printers and its driver, and the drivers installed
// beside it.

#include <optional>
#include <set>
#include <string>

#include "removal/removal.h"

// Adds the name of every local printer on the model's driver at the head of names, and returns
// how many printers of the model there are. The spooler keeps names in Unicode: one that the ANSI
// code page cannot spell exactly is counted but not added, since the spelling it would get (a "?"
// or a look-alike letter) may be another printer's name, and deleting by it would delete that
// printer; nor can that printer be ticked, so the driver it needs stays. Nothing when the spooler
// could not list the printers; the thread's last error then tells why.
std::optional<int> CollectModelPrinters(StringList& names);

// The names of every local printer that the ANSI code page spells exactly (the only names a printer
// is ever deleted by); nothing when the spooler could not list them.
std::optional<std::set<std::string>> ListedPrinterNames();

// The printers among `deleted` that the spooler still lists once it has had a few seconds to finish
// their deletion; none when it cannot list its printers (what stays is then seen later).
std::set<std::string> StillListedAfterTheirDeletion(std::set<std::string> deleted);

// The names of the printer drivers installed for this machine's environment, the model's
// included; nothing when the spooler could not list them.
std::optional<std::set<std::string>> InstalledDriverNames();

// Whether the model's driver is installed; a failed driver enumeration counts as no driver.
bool IsModelDriverInstalled();

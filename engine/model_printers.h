#pragma once

// What the spooler knows of the model: its printers and its driver.

#include <optional>

#include "removal/removal.h"

// Adds the name of every local printer on the model's driver at the head of names, and returns
// how many printers of the model there are. The spooler keeps names in Unicode: one that the ANSI
// code page cannot spell exactly is counted but not added, since the spelling it would get (a "?"
// or a look-alike letter) may be another printer's name, and deleting by it would delete that
// printer; nor can that printer be ticked, so the driver it needs stays. Nothing when the spooler
// could not list the printers; the thread's last error then tells why.
std::optional<int> CollectModelPrinters(StringList& names);

// Whether the model's driver is installed; a failed driver enumeration counts as no driver.
bool IsModelDriverInstalled();

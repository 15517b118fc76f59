#pragma once

#include <string>

#include "tools/stager/installation.h"

namespace stager {

// The sample installation the demo shows: three printers of the model with names that need care,
// and one printer of another maker's driver; the whole driver package with its monitor and
// processor, files, INF records, data directory, USB device nodes, printer device nodes below its
// enumeration keys, and look-alikes that are not the model's.
Installation SampleInstallation();

// The sample's driver package without any printer: what is left when the printers went first.
Installation DriverOnlyInstallation();

// What is left of an installation once the model's printers and its driver went, by hand, by
// another tool or in a run ended half-way: everything else of its package and of other products.
Installation WithoutModelPrintersAndDriver(Installation installation);

// The preset with this name ("sample", "driver-only", "leftovers": the sample without the model's
// printers and driver); false if there is none.
bool FindPreset(const std::string& name, Installation& installation);

}  // namespace stager

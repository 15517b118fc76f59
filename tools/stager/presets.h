#pragma once

#include <string>

#include "tools/stager/installation.h"

namespace stager {

// The sample installation the demo shows: three printers of the model with names that need care,
// and one printer of another maker's driver; the whole driver package with its monitor and
// processor, files, INF records and data directory, and look-alikes that are not the model's.
Installation SampleInstallation();

// The preset with this name ("sample"); false if there is none.
bool FindPreset(const std::string& name, Installation& installation);

}  // namespace stager

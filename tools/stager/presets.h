#pragma once

#include <string>

#include "tools/stager/installation.h"

namespace stager {

// The sample installation the demo shows: three printers of the model with names that need care,
// and one printer of another maker's driver.
Installation SampleInstallation();

// The preset with this name ("sample"); false if there is none.
bool FindPreset(const std::string& name, Installation& installation);

}  // namespace stager

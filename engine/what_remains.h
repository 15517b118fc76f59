#pragma once

// What a run leaves of what it was to remove, looked for again once it is done, the same way the
// scan looks: the verdict a deployment tool acts on, on every till at once, must be what is really
// left on the machine, not what the steps believed they did.

#include <string>
#include <vector>

#include "engine/uninstall_sequence.h"

// Each thing still there that `plan` was to remove, described for the user and the log (see
// LookForWhatThePlanRemoves; printers that cannot be listed included), and where the whole package
// was to go, a print spooler left without its service running. A file or folder that Windows is to
// delete at the next restart is not counted.
std::vector<std::string> WhatRemains(const UninstallPlan& plan);

#pragma once

// A maker ships one INF for a family of models: the model's INF may also be the one that a
// sibling's installed driver comes from. Deleting it then takes the sibling's package out of the
// driver store (SetupUninstallOEMInf with SUOI_FORCEDELETE deletes it whatever uses it), and
// Windows can no longer install the sibling's printers. Such an INF is never the model's alone.

#include <optional>
#include <set>
#include <string>

#include "removal/removal_result.h"

// The installed drivers of other models that the INF at `path` serves, by its model lines: the
// keys of the lines of every models section its [Manufacturer] section names (undecorated and
// with each target it names) and of the maker's section, compared with the installed drivers'
// names ignoring case; the model's own driver name is none of them. Why the INF must stay, for the
// record ("the installed driver "..." comes from it"); nothing when it serves no installed driver
// but the model's. When the installed drivers are not known (`installedDrivers` empty), an INF
// that serves any other model must stay.
std::optional<std::string> WhyTheInfServesAnotherDriver(const std::string& path,
                                                        const std::optional<std::set<std::string>>& installedDrivers);

// For the removals that delete INFs: true when the INF at `path` must stay, with a note in
// `result` naming it (`name`) and why.
bool KeptForAnotherDriver(const std::string& path, const std::string& name,
                          const std::optional<std::set<std::string>>& installedDrivers, RemovalResult& result);

#pragma once

// The removal operations: each takes out one kind of artefact of the installed product. None of
// them reports to the user; each does what it can and leaves the caller to go on.

#include <list>
#include <string>

// Names in the order the uninstaller keeps them: new names go to the head.
using StringList = std::list<std::string>;

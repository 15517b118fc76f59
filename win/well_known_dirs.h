#pragma once

// The directories the uninstaller works in, asked of the system on each use. Each answer is the
// whole path however long it is; an empty optional means the system could not tell, and callers
// then skip what depends on it rather than build a path that starts at a drive's root.

#include <optional>
#include <string>

std::optional<std::string> WindowsDirectory();
std::optional<std::string> SystemDirectory();
std::optional<std::string> PrinterDriverDirectory();
std::optional<std::string> PrintProcessorDirectory();

// The Windows INF directory, without a trailing separator.
std::optional<std::string> InfDirectory();

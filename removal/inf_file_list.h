#pragma once

#include <optional>
#include <string>
#include <vector>

// The names (without directory) of the Windows-style INF files in `directory`, as the device
// installer lists them. Nothing when the list cannot be had. Names that the ANSI code page cannot
// spell exactly are left out: a best-fit spelling could name another file.
std::optional<std::vector<std::string>> ListInfFiles(const std::string& directory);

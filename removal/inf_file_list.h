#pragma once

#include <optional>
#include <string>
#include <vector>

// The names (without directory) of the files in `directory` that the system matches with
// "oem*.inf" (ignoring case, as it matches every name), in the order the directory lists them;
// folders are left out. Nothing when the directory cannot be read. Names that the ANSI code page
// cannot spell exactly are left out too: a best-fit spelling could name another file.
std::optional<std::vector<std::string>> ListOemInfFiles(const std::string& directory);

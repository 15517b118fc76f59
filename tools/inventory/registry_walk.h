#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace inventory {

std::vector<std::string> SubkeyNames(HKEY root, const std::string& key);
std::vector<std::string> FileNames(const std::string& folder, const std::string& pattern);

}  // namespace inventory

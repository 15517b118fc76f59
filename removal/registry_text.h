#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Reads a registry value as text, whatever its type, the way the removal operations read them: at
// most 256 bytes into a cleared buffer, so that a shorter value stored without its terminator
// still reads as a string, while a longer one is not read at all. Nothing when it cannot be read.
std::optional<std::string> ReadValueText(HKEY key, const char* valueName);

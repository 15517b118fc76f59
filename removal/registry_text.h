#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// Reads a registry value as text, whatever its type, the way the removal operations read them: at
// most 256 bytes into a cleared buffer, so that a shorter value stored without its terminator
// still reads as a string, while a longer one is not read at all. Nothing when it cannot be read.
std::optional<std::string> ReadValueText(HKEY key, const char* valueName);

// Calls `visit` with the name of each subkey of `key`, by index from 0, until the end of the list
// or until `visit` answers false. An index that fails with anything but "no more items" is passed
// over; a key that fails index after index (deleted while it is walked, say) ends the walk, with
// the registry's status of the last failure; otherwise ERROR_SUCCESS.
LONG ForEachSubkey(HKEY key, const std::function<bool(const std::string& name)>& visit);

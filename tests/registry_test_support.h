#pragma once

// What the registry tests look at: this computer's name in paths, and key access lists in their
// textual (SDDL) form.

#include <windows.h>

#include <string>

#include "regperm/key_path.h"

std::string ComputerName();
// `text` with every "{computer}" replaced by this computer's name.
std::string WithComputerName(std::string text);
// `prefix` continued with subkeys of filler letters to exactly `length` characters.
std::string PathOfLength(const std::string& prefix, std::size_t length);
void CopyText(const std::string& text, KeyPathBuffer& buffer);

// The entries of a key's DACL in SDDL, e.g. "(A;CI;KA;;;WD)(A;;KR;;;BA)", without the DACL's
// flags; "no entries" when it has none, or what went wrong reading it.
std::string DaclEntries(HKEY root, const std::string& key);

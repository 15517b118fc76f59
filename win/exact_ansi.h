#pragma once

// Names the system keeps in Unicode, brought into the ANSI code page only where it spells them
// exactly. A name that would come out with the default character ("?") or a best-fit look-alike
// ("A" for "Ā") is another name: handed back to the system, it finds another object or none.

#include <cstddef>
#include <optional>
#include <string>

std::optional<std::string> ExactAnsi(const wchar_t* text, std::size_t length);
std::optional<std::string> ExactAnsi(const wchar_t* text);

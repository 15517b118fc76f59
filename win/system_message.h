#pragma once

#include <windows.h>

#include <string>

// The system's explanation of an error code, in English (United States) where the system has that
// message table, else in the system's default language; empty only when it has no text at all.
std::string SystemMessageText(DWORD code);

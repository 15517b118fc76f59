#pragma once

// Keeps DLLs planted beside the program, or in its current folder, out of the process: the DLL
// search is restricted to the system directory where the system can do that, the current folder
// leaves it everywhere, and the DLLs that the system loads on a window's behalf are loaded first
// by their full paths, so later loads by name find them already there.
// Call it first thing, before anything that loads a DLL.
void RestrictDllSearchToSystem();

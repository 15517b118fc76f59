#pragma once

#include <windows.h>

// The standard output this process was given, or null where it was given none it can write to. A
// GUI program has no console: its standard output is what the program that started it passed in
// its STARTUPINFO (a pipe or a file, as a script that captures the output passes), and nothing
// otherwise. The handle belongs to the process: it is not to be closed.
HANDLE GivenStandardOutput();

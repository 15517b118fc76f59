#pragma once

#include <windows.h>

#include "app/command_line.h"

// What a deployment tool's detection rule, an RMM agent's script or support asks of a till: what of
// the model is on it, told without changing anything (no printer, key, value, file, service,
// profile value, restart marker or scheduled deletion; no default log). It looks as a run's second
// look does once it has removed everything of the model, and says what it found in the log named
// by /log, on the standard output it was given, and in one message box where someone can see it
// (`withBox`). Returns the exit code: 0 when nothing of the model is there, CHECK_FOUND_THE_MODEL
// when something is, ERROR_INSTALL_FAILURE when it cannot look, ERROR_INSTALL_ALREADY_RUNNING
// while another copy removes, ERROR_INSTALL_PLATFORM_UNSUPPORTED on 64-bit Windows and
// ERROR_INVALID_COMMAND_LINE for a command line it does not understand.
DWORD CheckTheMachine(const CommandLine& line, bool withBox);

inline constexpr DWORD CHECK_FOUND_THE_MODEL = 1;

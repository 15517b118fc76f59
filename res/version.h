#pragma once

// The program's version, for the version resource and for what the program says of itself.
#define QTM_VERSION_NUMBERS 1, 1, 0, 0
#define QTM_VERSION_TEXT "1.1.0.0"

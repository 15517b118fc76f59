#pragma once

// How a USB device node's hardware IDs are told to be the model's.

#include <windows.h>

#include <cstring>

#include "identity/target_identity.h"

// A node's hardware-ID list is read into this many bytes; a list that does not fit is not read,
// and the node is passed over.
inline constexpr DWORD HARDWARE_ID_LIST_SIZE = 100;

// Whether the first ID of a hardware-ID list matches `pattern` over its first 21 characters,
// ignoring case (where either ends sooner, both must end there).
inline bool FirstHardwareIdMatches(const char* hardwareIds, const char* pattern) {
  return ::_strnicmp(hardwareIds, pattern, USB_HARDWARE_ID_LENGTH) == 0;
}

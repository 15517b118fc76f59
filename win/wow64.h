#pragma once

// Whether this 32-bit process runs on 64-bit Windows, under WOW64: its view of the registry and
// of the system directory is then redirected, and it is not what the 64-bit system itself uses.
bool RunsUnderWow64();

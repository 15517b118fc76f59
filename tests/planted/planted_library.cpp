// A DLL that a test plants under a system DLL's name. It leaves a marker named after the file it
// was loaded from, so a test can tell that the loader took it.

#include <windows.h>

#include <string>

#include "tests/planted/markers.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(instance, path, MAX_PATH);
    LeavePlantedMarker(path);
  }
  return TRUE;
}

// The entry points a plain importer of the spooler and the common controls asks for, so that a
// program importing them really loads this DLL in their place.
extern "C" __declspec(dllexport) BOOL WINAPI EnumPrintersA(DWORD, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD needed,
                                                          LPDWORD returned) {
  *needed = 0;
  *returned = 0;
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) { return TRUE; }

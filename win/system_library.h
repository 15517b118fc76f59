#pragma once

#include <windows.h>

// Loads a DLL by its full path in the system directory, never through the search order that starts
// in the program's own folder. Returns null when the system has no such DLL.
HMODULE LoadSystemLibrary(const char* fileName);

// Loads a DLL that the process's manifest may take from the side-by-side store: by name where the
// process's activation context redirects that name to an assembly of the store, else by its full
// path in the system directory. Needs no LOAD_LIBRARY_SEARCH_* flag, so it works on a Windows 7
// or Vista without the DLL search update too. Returns null when neither place has the DLL.
HMODULE LoadSideBySideLibrary(const char* fileName);

// SetDefaultDllDirectories where the system has it, else null. Windows 8 brought it; Windows 7 and
// Vista have it only with the DLL search update (KB2533623), which also brought LoadLibraryEx's
// LOAD_LIBRARY_SEARCH_* flags. A static import of it stops the program from starting without it.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories();

// Looks up an export and gives it the type of the pointer it is assigned to.
class ExportLookup {
 public:
  ExportLookup(HMODULE module, const char* name) : address_(::GetProcAddress(module, name)) {}
  template <typename Function>
  operator Function*() const {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(address_));
  }

 private:
  FARPROC address_;
};

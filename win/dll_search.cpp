#include "win/dll_search.h"

#include <windows.h>

#include "win/system_library.h"

namespace {

// Loaded by the window manager, the theme engine and the common controls, none of them a known
// DLL that the loader would take from the system directory whatever the search order.
constexpr const char* kSystemLoadedLibraries[] = {"uxtheme.dll", "dwmapi.dll", "version.dll"};

// SetDefaultDllDirectories where the system has it, else null. Windows 8 brought it; Windows 7 and
// Vista have it only with the DLL search update (KB2533623), which also brought LoadLibraryEx's
// LOAD_LIBRARY_SEARCH_* flags. A static import of it stops the program from starting without it.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
  return ExportLookup(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
}

}  // namespace

void RestrictDllSearchToSystem() {
  // Where the system has it, every later search is the system directory's alone. Without it (an
  // unpatched Windows 7 or Vista) the program's own loads do not depend on it: they name full
  // paths, or a name that the manifest redirects (win/system_imports/common_controls_imports.cpp).
  if (const SetDefaultDllDirectoriesFunction setDefaultDllDirectories = FindSetDefaultDllDirectories()) {
    (void)setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  // The current folder leaves the search of the calls that still consult it.
  (void)::SetDllDirectoryA("");
  for (const char* name : kSystemLoadedLibraries) (void)LoadSystemLibrary(name);
}

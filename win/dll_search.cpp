#include "win/dll_search.h"

#include <windows.h>

#include "win/system_library.h"

namespace {

// Loaded by the window manager, the theme engine and the common controls, none of them a known
// DLL that the loader would take from the system directory whatever the search order.
constexpr const char* kSystemLoadedLibraries[] = {"uxtheme.dll", "dwmapi.dll", "version.dll"};

}  // namespace

void RestrictDllSearchToSystem() {
  (void)::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The current folder leaves the search of the calls that still consult it.
  (void)::SetDllDirectoryA("");
  for (const char* name : kSystemLoadedLibraries) (void)LoadSystemLibrary(name);
}

#include "win/dll_search.h"

#include <windows.h>

#include "win/system_library.h"

namespace {

// Loaded by the window manager, the theme engine and the common controls, none of them a known
// DLL that the loader would take from the system directory whatever the search order.
constexpr const char* kSystemLoadedLibraries[] = {"uxtheme.dll", "dwmapi.dll", "version.dll"};

}  // namespace

void RestrictDllSearchToSystem() {
  // Where the system has it, every later search is the system directory's alone. Without it (an
  // unpatched Windows 7 or Vista) the loads of this program do not depend on it: they name full
  // paths, or names the manifest redirects (win/system_library.h).
  if (const SetDefaultDllDirectoriesFunction setDefaultDllDirectories = FindSetDefaultDllDirectories()) {
    (void)setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  // The current folder leaves the search of the calls that still consult it.
  (void)::SetDllDirectoryA("");
  for (const char* name : kSystemLoadedLibraries) (void)LoadSystemLibrary(name);
}

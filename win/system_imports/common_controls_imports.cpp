// The common controls are not a known DLL either. They are loaded by name, not by path: the
// program's manifest asks for version 6, which the system supplies from its side-by-side store
// ahead of any search, and the search that remains is restricted to the system directory.

#include <windows.h>
#include <commctrl.h>

#include "win/system_imports/load_on_first_call.h"

namespace {

HMODULE LoadCommonControls() {
  static const HMODULE module = ::LoadLibraryExA("comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module;
}

constexpr ImportSource kCommonControls(&LoadCommonControls);

}  // namespace

QTM_LOAD_ON_FIRST_CALL(kCommonControls, InitCommonControlsEx, 4)

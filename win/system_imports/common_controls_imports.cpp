// The common controls are not a known DLL either, and the program's manifest asks for their
// version 6, which lives in the side-by-side store, not in the system directory: loaded by name
// where the manifest redirects the name there, else by full path (win/system_library.h). No
// LOAD_LIBRARY_SEARCH_* flag: an unpatched Windows 7 or Vista fails a load that gives one.

#include <windows.h>
#include <commctrl.h>

#include "win/system_imports/load_on_first_call.h"
#include "win/system_library.h"

namespace {

HMODULE LoadCommonControls() {
  static const HMODULE module = LoadSideBySideLibrary("comctl32.dll");
  return module;
}

constexpr ImportSource kCommonControls(&LoadCommonControls);

}  // namespace

QTM_LOAD_ON_FIRST_CALL(kCommonControls, InitCommonControlsEx, 4)

// The common controls are not a known DLL either, and the version 6 that the program's manifest
// asks for lives in the side-by-side store, not in the system directory. They are loaded by name,
// with no LOAD_LIBRARY_SEARCH_* flag (an unpatched Windows 7 or Vista fails a load that gives one),
// and that cannot take a planted copy: the loader looks a name up in the process's activation
// context before anything else (side-by-side manifest redirection comes ahead of the loaded-module
// list, the known DLLs and every folder of the search order), and the manifest's dependency puts
// "comctl32.dll" there, redirected to the store. Windows does not start a program whose manifest
// dependency it cannot resolve, so a running process always has that redirection, and with a
// manifest a .local redirection file beside the program is ignored.

#include <windows.h>
#include <commctrl.h>

#include "win/system_imports/load_on_first_call.h"

namespace {

HMODULE LoadCommonControls() {
  static const HMODULE module = ::LoadLibraryExA("comctl32.dll", nullptr, 0);
  return module;
}

constexpr ImportSource kCommonControls(&LoadCommonControls);

}  // namespace

QTM_LOAD_ON_FIRST_CALL(kCommonControls, InitCommonControlsEx, 4)

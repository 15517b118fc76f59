// A program that imports the spooler and the common controls the plain way, as most programs do.
// A test runs it beside planted DLLs to show that the plants are real: this one loads them.

#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

int main() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  DWORD needed = 0, returned = 0;
  ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  return 0;
}

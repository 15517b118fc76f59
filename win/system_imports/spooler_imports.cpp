// The spooler's client DLL is not a known DLL: loaded by its full path in the system directory.

#include <windows.h>
#include <winspool.h>

#include "win/system_imports/load_on_first_call.h"
#include "win/system_library.h"

namespace {

HMODULE LoadSpooler() {
  static const HMODULE module = LoadSystemLibrary("winspool.drv");
  return module;
}

constexpr ImportSource kSpooler(&LoadSpooler);

}  // namespace

QTM_LOAD_ON_FIRST_CALL(kSpooler, ClosePrinter, 4)
QTM_LOAD_ON_FIRST_CALL(kSpooler, DeleteFormA, 8)
QTM_LOAD_ON_FIRST_CALL(kSpooler, DeleteMonitorA, 12)
QTM_LOAD_ON_FIRST_CALL(kSpooler, DeletePrintProcessorA, 12)
QTM_LOAD_ON_FIRST_CALL(kSpooler, DeletePrinter, 4)
QTM_LOAD_ON_FIRST_CALL(kSpooler, DeletePrinterDriverExA, 20)
QTM_LOAD_ON_FIRST_CALL(kSpooler, EnumFormsA, 24)
QTM_LOAD_ON_FIRST_CALL(kSpooler, EnumPrinterDriversA, 28)
QTM_LOAD_ON_FIRST_CALL(kSpooler, EnumPrintersW, 28)
QTM_LOAD_ON_FIRST_CALL(kSpooler, GetPrintProcessorDirectoryA, 24)
QTM_LOAD_ON_FIRST_CALL(kSpooler, GetPrinterA, 20)
QTM_LOAD_ON_FIRST_CALL(kSpooler, GetPrinterDriverDirectoryA, 24)
QTM_LOAD_ON_FIRST_CALL(kSpooler, OpenPrinterA, 12)
QTM_LOAD_ON_FIRST_CALL(kSpooler, SetPrinterA, 16)

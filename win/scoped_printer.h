#pragma once

#include <windows.h>
#include <winspool.h>

#include "win/unique_handle.h"

struct PrinterHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static bool Close(Handle h) { return ::ClosePrinter(h) != FALSE; }
};
using ScopedPrinter = UniqueHandle<PrinterHandleTraits>;

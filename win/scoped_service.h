#pragma once

#include <windows.h>

#include "win/unique_handle.h"

// A handle of the service control manager or of one of its services.
struct ServiceHandleTraits {
  using Handle = SC_HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static bool Close(Handle h) { return ::CloseServiceHandle(h) != FALSE; }
};
using ScopedService = UniqueHandle<ServiceHandleTraits>;

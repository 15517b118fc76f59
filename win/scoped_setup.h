#pragma once

#include <windows.h>
#include <setupapi.h>

#include "win/unique_handle.h"

struct DeviceInfoListTraits {
  using Handle = HDEVINFO;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static bool Close(Handle h) { return ::SetupDiDestroyDeviceInfoList(h) != FALSE; }
};
using ScopedDeviceInfoList = UniqueHandle<DeviceInfoListTraits>;

struct InfHandleTraits {
  using Handle = HINF;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static bool Close(Handle h) {
    ::SetupCloseInfFile(h);
    return true;
  }
};
using ScopedInfFile = UniqueHandle<InfHandleTraits>;

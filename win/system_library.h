#pragma once

#include <windows.h>

// Loads a DLL by its full path in the system directory, never through the search order that starts
// in the program's own folder. Returns null when the system has no such DLL.
HMODULE LoadSystemLibrary(const char* fileName);

// Looks up an export and gives it the type of the pointer it is assigned to.
class ExportLookup {
 public:
  ExportLookup(HMODULE module, const char* name) : address_(::GetProcAddress(module, name)) {}
  template <typename Function>
  operator Function*() const {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(address_));
  }

 private:
  FARPROC address_;
};

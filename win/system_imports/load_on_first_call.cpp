#include "win/system_imports/load_on_first_call.h"

FARPROC ImportSource::Find(const char* function) const {
  HMODULE module = loader_();
  return module != nullptr ? ::GetProcAddress(module, function) : nullptr;
}

#pragma once

// Imports resolved on their first call instead of when the program starts.
//
// The system headers declare each API function as a DLL import: a call goes through a pointer
// that the loader fills in before any code of ours runs, having looked for the DLL in the
// program's own folder first unless the DLL is one of the system's known DLLs. For the DLLs that
// are not, this program defines those pointers itself (instead of linking the import library):
// each starts out at a resolver that loads the DLL by the rule of its ImportSource and then
// replaces itself with the real function.

#include <windows.h>

class ImportSource {
 public:
  using Loader = HMODULE (*)();
  explicit constexpr ImportSource(Loader loader) : loader_(loader) {}

  // The function's address, or null when the DLL or the function is not there.
  FARPROC Find(const char* function) const;

 private:
  Loader loader_;
};

template <typename Function>
struct LoadOnFirstCall;

template <typename Result, typename... Arguments>
struct LoadOnFirstCall<Result(WINAPI*)(Arguments...)> {
  using Pointer = Result(WINAPI*)(Arguments...);

  template <Pointer* Slot, const ImportSource* Source, const char* Name>
  static Result WINAPI Resolve(Arguments... arguments) {
    const FARPROC found = Source->Find(Name);
    if (found == nullptr) {
      // What any of these functions answers when it fails: nothing done, a reason to ask for.
      ::SetLastError(ERROR_PROC_NOT_FOUND);
      return Result{};
    }
    *Slot = reinterpret_cast<Pointer>(reinterpret_cast<void*>(found));
    return (*Slot)(arguments...);
  }
};

// Defines the import pointer of `function`, a stdcall function taking `argumentBytes` bytes of
// arguments, so that its first call loads it from `source`.
#define QTM_LOAD_ON_FIRST_CALL(source, function, argumentBytes)                                   \
  namespace load_on_first_call {                                                                   \
  constexpr char function##_name[] = #function;                                                    \
  extern "C" decltype(&::function) function##_slot asm("__imp__" #function "@" #argumentBytes);    \
  }                                                                                                \
  decltype(&::function) load_on_first_call::function##_slot =                                      \
      &LoadOnFirstCall<decltype(&::function)>::Resolve<&load_on_first_call::function##_slot,       \
                                                       &source, load_on_first_call::function##_name>;

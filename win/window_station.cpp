#include "win/window_station.h"

#include <windows.h>

bool WindowsCanBeSeen() {
  DWORD session = 0;
  if (::ProcessIdToSessionId(::GetCurrentProcessId(), &session) && session == 0) return false;
  // The station's handle belongs to the system: it is not to be closed.
  const HWINSTA station = ::GetProcessWindowStation();
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  if (station == nullptr || !::GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, &needed)) {
    return true;
  }
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

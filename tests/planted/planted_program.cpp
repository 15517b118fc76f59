// A program that a test plants under a system program's name (net.exe); it leaves a marker.

#include <windows.h>

#include "tests/planted/markers.h"

int main() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  LeavePlantedMarker(path);
  return 0;
}

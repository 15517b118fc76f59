// Stands in for a net.exe that someone left in a download folder: it only records that it ran,
// and where from, in the marker file.

#include <windows.h>

#include <cstdio>

#include "tests/helpers/planted_net.h"

int main() {
  char self[MAX_PATH] = {};
  (void)::GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (std::FILE* marker = std::fopen(kPlantedNetMarker, "a")) {
    std::fprintf(marker, "%s\n", self);
    std::fclose(marker);
  }
  return 0;
}

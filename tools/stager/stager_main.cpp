// stager: creates a model installation in the running Windows (a Wine prefix), through the
// system's own interfaces.
//
//   stager <preset>       presets: sample, driver-only, leftovers

#include <cstdio>
#include <string>

#include "tools/stager/presets.h"

int main(int argc, char** argv) {
  stager::Installation installation;
  if (argc != 2 || !stager::FindPreset(argv[1], installation)) {
    std::printf("usage: stager sample|driver-only|leftovers\n");
    return 2;
  }
  std::string error;
  if (!stager::Stage(installation, error)) {
    std::printf("stager: %s\n", error.c_str());
    return 1;
  }
  std::printf("staged: %s\n", argv[1]);
  return 0;
}

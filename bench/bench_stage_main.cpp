// bench_stage: lays out one of the benchmark's machines in the running Windows (a Wine prefix).
//
//   bench_stage full|half|sample

#include <cstdio>
#include <string>

#include "bench/heavy_machine.h"
#include "tools/stager/installation.h"

int main(int argc, char** argv) {
  bench::Machine machine;
  if (argc != 2 || !bench::FindMachine(argv[1], machine)) {
    std::printf("usage: bench_stage full|half|sample\n");
    return 2;
  }
  std::string error;
  if (!stager::Stage(machine.installation, error)) {
    std::printf("bench_stage: %s\n", error.c_str());
    return 1;
  }
  std::printf("staged machine \"%s\":\n%s", argv[1], machine.description.c_str());
  return 0;
}

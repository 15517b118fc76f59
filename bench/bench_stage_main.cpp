// bench_stage: lays out the benchmark's heavy machine in the running Windows (a Wine prefix).
//
//   bench_stage full|half

#include <cstdio>
#include <string>

#include "bench/heavy_machine.h"
#include "tools/stager/installation.h"

int main(int argc, char** argv) {
  bench::MachineSize size;
  if (argc != 2 || !bench::FindMachineSize(argv[1], size)) {
    std::printf("usage: bench_stage full|half\n");
    return 2;
  }
  std::string error;
  if (!stager::Stage(bench::HeavyMachine(size), error)) {
    std::printf("bench_stage: %s\n", error.c_str());
    return 1;
  }
  std::printf("staged machine \"%s\":\n%s", argv[1], bench::Describe(size).c_str());
  return 0;
}

// bench_profile: the scan and the whole uninstall as the silent mode runs them, each step timed
// from inside one process on the staged heavy machine, by the time since the step before it.
//
//   bench_profile

#include <windows.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "bench/stopwatch.h"
#include "engine/installation_scan.h"
#include "engine/package_leftovers.h"
#include "engine/uninstall_sequence.h"
#include "identity/target_identity.h"
#include "removal/inf_file_list.h"
#include "removal/model_device_nodes.h"
#include "win/system_library.h"
#include "win/well_known_dirs.h"

namespace {

void Time(const char* step, const std::function<void()>& run) {
  const bench::Stopwatch clock;
  run();
  std::printf("bench: step_ms %9.1f %s\n", clock.ElapsedMs(), step);
}

// Each step's time is the time since the step (or phase) before it ended.
class StepTimes : public UninstallObserver {
 public:
  void PhaseStarted(const std::string& status) override { Print(status); }
  void StepDone(const std::string& step, const RemovalResult& result) override {
    Print(step + (result.Succeeded() ? "" : " (failed: " + std::to_string(result.error) + ")"));
  }
  void Print(const std::string& what) {
    std::printf("bench: step_ms %9.1f %s\n", clock_.ElapsedMs(), what.c_str());
    clock_ = bench::Stopwatch();
  }

 private:
  bench::Stopwatch clock_;
};

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  // Like the uninstaller, this program loads the spooler on its first call; here that is timed alone.
  Time("scan: winspool.drv loaded from the system directory", [] { (void)LoadSystemLibrary("winspool.drv"); });
  ScanFindings found;
  Time("scan: the model's printers listed by the spooler", [&] { found = ScanForTheModel(); });
  std::printf("bench: model printers found %d\n", found.foundPrinterCount);
  std::optional<std::string> leftover;
  Time("scan: what is left of the package looked for", [&] { leftover = FindPackageLeftover(); });
  std::printf("bench: left of the package: %s\n", leftover ? leftover->c_str() : "nothing");
  // The list of the model's USB nodes that the node removal walks, and the oem INF listing, alone.
  Time("  (the model's USB nodes listed alone)", [] { (void)ListUsbNodesFor(USB_HARDWARE_ID); });
  Time("  (listing the oem INFs alone)", [] {
    const std::optional<std::string> infDirectory = InfDirectory();
    if (infDirectory) (void)ListOemInfFiles(*infDirectory);
  });

  StepTimes steps;
  const UninstallOutcome outcome = RunUninstall(PlanRemoval(found.printerNames, found.foundPrinterCount), steps);
  // The run ends with its second look for what remains, after the last step.
  steps.Print("after the run: what remains looked for (" + std::to_string(outcome.remaining.size()) + " found)");
  return 0;
}

// bench_profile: the scan's and the uninstall sequence's steps, in the sequence's order, each
// timed from inside one process on the staged heavy machine. The dialog, its pauses of a second and the restart
// question are left out; the spooler restart's waits for the service are inside the package removal.
//
//   bench_profile

#include <windows.h>
#include <setupapi.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/model_printers.h"
#include "app/package_leftovers.h"
#include "identity/target_identity.h"
#include "bench/stopwatch.h"
#include "removal/inf_file_list.h"
#include "removal/removal.h"
#include "win/system_library.h"
#include "win/well_known_dirs.h"

namespace {

// This program has no windows to keep answering while the spooler restart waits.
void SleepingPause(DWORD milliseconds) { ::Sleep(milliseconds); }

void Time(const char* step, const std::function<void()>& run) {
  const bench::Stopwatch clock;
  run();
  std::printf("bench: step_ms %9.1f %s\n", clock.ElapsedMs(), step);
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  StringList printers;
  StringList infFiles;
  // Like the uninstaller, this program loads the spooler on its first call; here that is timed alone.
  Time("scan: winspool.drv loaded from the system directory", [] { (void)LoadSystemLibrary("winspool.drv"); });
  Time("scan: the model's printers listed by the spooler", [&] { (void)CollectModelPrinters(printers); });
  std::printf("bench: model printers found %u\n", static_cast<unsigned>(printers.size()));
  std::optional<std::string> leftover;
  Time("scan: what is left of the package looked for", [&] { leftover = FindPackageLeftover(); });
  std::printf("bench: left of the package: %s\n", leftover ? leftover->c_str() : "nothing");
  Time("DeletePrinters", [&] { DeletePrinters(printers); });
  Time("DeleteRecordedInfFile", [] { DeleteRecordedInfFile(); });
  Time("RemoveDriverPackage (the spooler restart's waits for the service included)",
       [] { RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER, SleepingPause); });
  Time("CollectDriverInfFiles", [&] { CollectDriverInfFiles(infFiles); });
  Time("DeleteCollectedInfFiles", [&] { DeleteCollectedInfFiles(infFiles); });
  // The device installer's own cost of the list that RemoveUsbDeviceNodes walks, alone.
  HDEVINFO devices = INVALID_HANDLE_VALUE;
  Time("  (inside RemoveUsbDeviceNodes: SetupDiGetClassDevsA of every USB node alone)",
       [&] { devices = ::SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES); });
  Time("  (inside RemoveUsbDeviceNodes: SetupDiDestroyDeviceInfoList of that list alone)",
       [&] { (void)::SetupDiDestroyDeviceInfoList(devices); });
  Time("RemoveUsbDeviceNodes", [] { (void)RemoveUsbDeviceNodes(USB_HARDWARE_ID); });
  Time("RemoveEnumerationKeys", [] { RemoveEnumerationKeys(); });
  Time("profile values", [] {
    (void)::WriteProfileStringA("windows", "DeviceNotSelectedTimeout", "15");
    (void)::WriteProfileStringA("windows", "TransmissionRetryTimeout", "90");
  });
  Time("  (inside DeleteOemInfFiles: listing the oem INFs alone)", [] {
    const std::optional<std::string> infDirectory = InfDirectory();
    if (infDirectory) (void)ListOemInfFiles(*infDirectory);
  });
  Time("DeleteOemInfFiles", [] { DeleteOemInfFiles(); });
  Time("DeleteDirectoryTree", [] {
    const std::optional<std::string> driverDirectory = PrinterDriverDirectory();
    if (driverDirectory) DeleteDirectoryTree(*driverDirectory + "\\" + DRIVER_DIR_NAME);
  });
  return 0;
}

// The driver removal phase: with the last printer of the model gone (or none there), the whole
// driver package goes, in a fixed order.

#include <windows.h>

#include <optional>
#include <string>

#include "engine/uninstall_sequence.h"
#include "identity/target_identity.h"
#include "removal/removal.h"
#include "win/well_known_dirs.h"

namespace {

// The spooler's time-outs in the user's profile, back at the values the package changed.
RemovalResult ResetSpoolerTimeouts() {
  RemovalResult result;
  if (!::WriteProfileStringA("windows", "DeviceNotSelectedTimeout", "15")) result.FailWithLastError();
  if (!::WriteProfileStringA("windows", "TransmissionRetryTimeout", "90")) result.FailWithLastError();
  return result;
}

RemovalResult DeleteDriverDataDirectory() {
  const std::optional<std::string> driverDirectory = PrinterDriverDirectory();
  if (!driverDirectory) return RemovalResult{ERROR_PATH_NOT_FOUND};
  return DeleteDirectoryTree(*driverDirectory + "\\" + DRIVER_DIR_NAME);
}

// The walk's own answer is a yes or no; the reason for a no is the thread's last error.
RemovalResult RemoveModelsUsbDeviceNodes() {
  RemovalResult result;
  if (!RemoveUsbDeviceNodes(USB_HARDWARE_ID)) result.FailWithLastError();
  return result;
}

}  // namespace

void RunDriverRemovalPhase(UninstallObserver& observer, UninstallOutcome& outcome) {
  observer.PhaseStarted("Delete printer driver...");
  const ReportStep report = [&](const std::string& step, const RemovalResult& result) {
    outcome.removedAtRestart = outcome.removedAtRestart || result.atRestart;
    observer.StepDone(step, result);
  };

  // Reads the Uninstall key, which the package removal deletes.
  report("Delete the INF file recorded in the Uninstall key", DeleteRecordedInfFile());
  RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER, report);
  // Read before the device nodes go: their removal deletes the class keys named here.
  StringList infFiles;
  report("Read the INF files named by the printer class keys", CollectDriverInfFiles(infFiles));
  report("Delete the INF files named by the printer class keys", DeleteCollectedInfFiles(infFiles));
  report("Remove the USB device nodes of the model", RemoveModelsUsbDeviceNodes());
  report("Remove the USBPRINT and LPTENUM device nodes and keys of the model", RemoveEnumerationKeys());
  // Class keys that outlived their device nodes (removed by another tool) would name the driver for
  // ever; the nodes' own went with them.
  report("Delete the printer class keys left of the model", DeleteModelClassKeys());
  report("Reset the spooler time-outs in the profile", ResetSpoolerTimeouts());
  report("Delete the oem INF files that list the model", DeleteOemInfFiles());
  report("Delete the data directory of the driver", DeleteDriverDataDirectory());
  outcome.driverPhaseRan = true;
}

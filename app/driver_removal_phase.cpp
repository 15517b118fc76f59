// The driver removal phase: with the last printer of the model gone (or none there), the whole
// driver package goes, in a fixed order, and Windows is offered a restart.

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/restart_windows.h"
#include "identity/target_identity.h"
#include "app/uninstall_dialog.h"
#include "removal/removal.h"
#include "ui/answering_pause.h"
#include "win/well_known_dirs.h"

namespace {

constexpr char kRestartQuestion[] =
    "Restart the computer can take effect.\nPlease restart the computer."
    "\n\n[Yes] I want to restart my computer now.\n[No] I will restart my computer later.";

// The spooler's time-outs in the user's profile, back at the values the package changed.
void ResetSpoolerTimeouts() {
  (void)::WriteProfileStringA("windows", "DeviceNotSelectedTimeout", "15");
  (void)::WriteProfileStringA("windows", "TransmissionRetryTimeout", "90");
}

void DeleteDriverDataDirectory() {
  const std::optional<std::string> driverDirectory = PrinterDriverDirectory();
  if (!driverDirectory) return;
  DeleteDirectoryTree(*driverDirectory + "\\" + DRIVER_DIR_NAME);
}

}  // namespace

void CUninstallDlg::RunDriverRemovalPhase() {
  m_status = "Delete printer driver...";
  (void)m_progress.StepIt();
  ShowStep();

  // Between the steps, some of which take seconds on a big machine, the dialog answers what has
  // come for it meanwhile.

  // Reads the Uninstall key, which the package removal deletes.
  DeleteRecordedInfFile();
  AnswerWaitingMessages();
  RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER, PauseAnswering);
  AnswerWaitingMessages();
  CollectDriverInfFiles(m_infFiles);
  DeleteCollectedInfFiles(m_infFiles);
  AnswerWaitingMessages();
  (void)RemoveUsbDeviceNodes(USB_HARDWARE_ID);
  AnswerWaitingMessages();
  RemoveEnumerationKeys();
  DeleteModelClassKeys();
  ResetSpoolerTimeouts();
  DeleteOemInfFiles();
  AnswerWaitingMessages();
  DeleteDriverDataDirectory();

  if (::MessageBoxA(Handle(), kRestartQuestion, APP_TITLE, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  m_status = "Uninstall completed!";
  ShowStep();
  (void)RestartWindows();
  std::exit(0);
}

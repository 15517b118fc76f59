// The uninstall command: the ticked printers go, and with the last of them the driver package.

#include "app/uninstall_dialog.h"

#include "removal/removal.h"

namespace {

constexpr DWORD kStepPauseMs = 1000;

// Holds the thread for the given time without handling a single message. It waits in the window
// manager rather than in Sleep: where windows draw into surfaces that the system presents only
// when their thread waits for messages (as under Wine's X11 driver), a plain Sleep would leave
// the step painted but unseen; where drawing shows at once, both pauses are the same.
void PauseShowingPaintedWindows(DWORD milliseconds) {
  (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, 0);
}

}  // namespace

void CUninstallDlg::ShowStep() {
  (void)UpdateData(FALSE);
  // Nothing repaints while the thread pauses, and some controls only invalidate themselves when
  // they change: paint what changed now, so that the step is on screen for its second.
  (void)::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  PauseShowingPaintedWindows(kStepPauseMs);
}

void CUninstallDlg::OnUninstall() {
  m_printerNames.clear();
  (void)m_cancelButton.EnableWindow(FALSE);

  if (m_printerList.GetCount() > 0) {
    for (int index = 0; index < m_printerList.GetCount(); ++index) {
      if (m_printerList.GetCheck(index) != 0) m_printerNames.push_front(m_printerList.GetText(index));
    }
  }
  // Every printer of the model ticked, or none there to begin with: the package goes too.
  const bool removeDriver = static_cast<int>(m_printerNames.size()) == m_foundPrinterCount;

  (void)m_uninstallButton.EnableWindow(FALSE);
  (void)UpdateData(TRUE);

  if (m_foundPrinterCount != 0) {
    m_status = "Delete printers...";
    (void)m_progress.StepIt();
    ShowStep();
    DeletePrinters(m_printerNames);
  }

  if (removeDriver) RunDriverRemovalPhase();

  m_status = "Uninstall completed!";
  (void)m_progress.SetPos(100);
  m_printerNames.clear();
  ShowStep();
  OnOK();
}

// The uninstall command: the ticked printers go, and with the last of them the driver package.

#include "app/uninstall_dialog.h"

#include "removal/removal.h"
#include "ui/answering_pause.h"

namespace {

constexpr DWORD kStepPauseMs = 1000;

}  // namespace

void CUninstallDlg::ShowStep() {
  (void)UpdateData(FALSE);
  PauseAnswering(kStepPauseMs);
}

void CUninstallDlg::OnUninstall() {
  m_sequenceRunning = true;
  m_printerNames.clear();
  (void)m_cancelButton.EnableWindow(FALSE);
  // The caption's close button shows that it cannot cancel the sequence either.
  (void)::EnableMenuItem(::GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);

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

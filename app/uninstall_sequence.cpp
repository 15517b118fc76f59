// The uninstall command: the ticked printers go, and with the last of them the driver package.

#include "app/uninstall_dialog.h"

#include "removal/removal.h"

namespace {
constexpr DWORD kStepPauseMs = 1000;
}

void CUninstallDlg::ShowStep() {
  (void)UpdateData(FALSE);
  ::Sleep(kStepPauseMs);
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

  (void)removeDriver;

  m_status = "Uninstall completed!";
  (void)m_progress.SetPos(100);
  m_printerNames.clear();
  ShowStep();
  OnOK();
}

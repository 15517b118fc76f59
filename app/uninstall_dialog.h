#pragma once

#include <windows.h>

#include <string>

#include "removal/removal.h"
#include "ui/check_list_box.h"
#include "ui/controls.h"
#include "ui/modal_dialog.h"

// The one-shot timer that starts the installation scan once the dialog is on screen.
constexpr UINT_PTR SCAN_TIMER_ID = 1;
constexpr UINT SCAN_TIMER_PERIOD_MS = 1;

// The uninstall dialog: lists the printers of the model, removes the ticked ones and, with the last
// of them, the whole driver package.
class CUninstallDlg : public ModalDialog {
 public:
  explicit CUninstallDlg(HWND parent = nullptr);

 protected:
  void DoDataExchange(DataExchange& exchange) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;
  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  bool RouteCommand(int id, int notificationCode) override;

  void OnTimer(UINT_PTR timerId);
  void OnPrinterCheckChange();
  bool OnPaint();
  HICON OnQueryDragIcon();
  void OnUninstall();

  void ScanInstallation();
  // Shows the members in the controls, then holds the status on screen for a second.
  void ShowStep();
  // Removes the whole driver package and asks about a restart; ends the process when the user
  // accepts it.
  void RunDriverRemovalPhase();

  // From the press of Uninstall (or the scan's own start of it) on: no command and no close
  // request acts, whether it comes from a key, a click or another program.
  bool m_sequenceRunning = false;
  StringList m_printerNames;
  int m_foundPrinterCount = 0;
  StringList m_infFiles;
  PushButton m_cancelButton;
  ProgressBar m_progress;
  PushButton m_uninstallButton;
  CheckListBox m_printerList;
  std::string m_status;
  HICON m_hIcon;
};

#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <string>

#include "engine/uninstall_sequence.h"
#include "removal/removal.h"
#include "ui/check_list_box.h"
#include "ui/controls.h"
#include "ui/input_lock.h"
#include "ui/modal_dialog.h"
#include "win/shutdown_block.h"
#include "win/worker_thread.h"

class UninstallLog;

// The one-shot timer that starts the installation scan once the dialog is on screen.
constexpr UINT_PTR SCAN_TIMER_ID = 1;
constexpr UINT SCAN_TIMER_PERIOD_MS = 1;

// The uninstall dialog: lists the printers of the model, removes the ticked ones and, with the last
// of them, the whole driver package. The removal runs on a worker thread; this dialog's thread
// only shows what it does, and so answers its messages all the while.
class CUninstallDlg : public ModalDialog {
 public:
  // `log`, when given, records the run beside what the dialog shows.
  explicit CUninstallDlg(HWND parent = nullptr, UninstallLog* log = nullptr);

  // Messages from the worker thread; what they announce waits in the dialog's mailbox.
  static constexpr UINT WM_PHASE_STARTED = WM_APP + 1;
  static constexpr UINT WM_SEQUENCE_ENDED = WM_APP + 2;

  // Called on the worker thread before it sends or posts the message of the same name.
  void AnnouncePhase(const std::string& status);
  void AnnounceEnd(const UninstallOutcome& outcome);

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
  // Shows the members in the controls, then holds the status on screen for a second before
  // `next` runs (a timer of this dialog; its thread goes on answering meanwhile).
  void ShowStep(UINT_PTR next);
  void OnPhaseStarted();
  // After the removal: the restart question when the driver package went, then completion.
  void OnSequenceEnded();

  // From the press of Uninstall (or the scan's own start of it) on: no command and no close
  // request acts, whether it comes from a key, a click or another program.
  bool m_sequenceRunning = false;
  StringList m_printerNames;
  int m_foundPrinterCount = 0;
  PushButton m_cancelButton;
  ProgressBar m_progress;
  PushButton m_uninstallButton;
  CheckListBox m_printerList;
  std::string m_status;
  HICON m_hIcon;

 private:
  // From the press of Uninstall until the worker thread has done the removal.
  bool RemovalRuns() const;
  bool EndAnnounced();

  UninstallLog* m_log;
  std::optional<InputLock> m_inputLock;
  ShutdownBlock m_shutdownBlock;
  // The worker thread's announcements. Messages of these numbers from anywhere else (any program
  // may post to a window) find nothing here and change nothing.
  std::mutex m_mailboxLock;
  std::optional<std::string> m_announcedPhase;
  std::optional<UninstallOutcome> m_announcedEnd;
  // Last, so that it goes first: the thread is joined before anything it uses is destroyed.
  WorkerThread m_worker;
};

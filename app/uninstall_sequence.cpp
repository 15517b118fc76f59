// The uninstall command: the ticked printers go, and with the last of them the driver package. The
// removal runs on a worker thread, which tells the dialog each phase as it begins; the dialog's
// thread asks about the restart once all of it is done.

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/restart_windows.h"
#include "app/uninstall_dialog.h"
#include "app/uninstall_log.h"
#include "identity/target_identity.h"

namespace {

constexpr DWORD kStepPauseMs = 1000;
constexpr UINT_PTR COMPLETION_TIMER_ID = 2;
constexpr UINT_PTR RESTART_TIMER_ID = 3;

constexpr char kRestartQuestion[] =
    "Restart the computer can take effect.\nPlease restart the computer."
    "\n\n[Yes] I want to restart my computer now.\n[No] I will restart my computer later.";
constexpr char kCompletedStatus[] = "Uninstall completed!";
constexpr char kIncompleteStatus[] = "Uninstall incomplete!";
// The things left that the message names; the rest it counts.
constexpr size_t kRemainingNamed = 5;

// What is left, and what to do about it.
std::string RemainingText(const std::vector<std::string>& remaining) {
  std::string text = "The uninstall is not complete. Still on this computer (" + std::to_string(remaining.size()) +
                     "):\n";
  for (size_t i = 0; i < remaining.size() && i < kRemainingNamed; ++i) text += "\n    " + remaining[i];
  if (remaining.size() > kRemainingNamed) {
    text += "\n    ... and " + std::to_string(remaining.size() - kRemainingNamed) + " more";
  }
  return text +
         "\n\nA printer that stays still holds print jobs: take them out of its queue (or let them print). "
         "Then restart the computer and run the uninstaller again.";
}

// What the worker thread tells the dialog, and the log where there is one.
class DialogProgress : public UninstallObserver {
 public:
  DialogProgress(CUninstallDlg& dialog, UninstallLog* log) : dialog_(dialog), window_(dialog.Handle()), log_(log) {}

  void PhaseStarted(const std::string& status) override {
    if (log_ != nullptr) log_->PhaseStarted(status);
    dialog_.AnnouncePhase(status);
    // Returns once the dialog shows the status, which then stays on screen for a second before
    // the phase's work begins.
    (void)::SendMessageA(window_, CUninstallDlg::WM_PHASE_STARTED, 0, 0);
    ::Sleep(kStepPauseMs);
  }

  void StepDone(const std::string& step, const RemovalResult& result) override {
    if (log_ != nullptr) log_->StepDone(step, result);
  }

 private:
  CUninstallDlg& dialog_;
  HWND window_;
  UninstallLog* log_;
};

}  // namespace

void CUninstallDlg::ShowStep(UINT_PTR next) {
  (void)UpdateData(FALSE);
  (void)::SetTimer(Handle(), next, kStepPauseMs, nullptr);
}

void CUninstallDlg::OnUninstall() {
  m_sequenceRunning = true;
  m_inputLock.emplace(Handle());
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
  const UninstallPlan plan = PlanRemoval(m_printerNames, m_foundPrinterCount);

  (void)m_uninstallButton.EnableWindow(FALSE);
  (void)UpdateData(TRUE);

  const auto removal = [this, plan] {
    DialogProgress progress(*this, m_log);
    AnnounceEnd(RunUninstall(plan, progress));
  };
  const HWND dialog = Handle();
  if (m_worker.Start([removal, dialog] {
        removal();
        (void)::PostMessageA(dialog, WM_SEQUENCE_ENDED, 0, 0);
      })) {
    return;
  }
  // Without a thread of its own the removal runs on this one: it is done all the same, though the
  // dialog answers nothing meanwhile.
  removal();
  OnSequenceEnded();
}

void CUninstallDlg::AnnouncePhase(const std::string& status) {
  const std::lock_guard<std::mutex> lock(m_mailboxLock);
  m_announcedPhase = status;
}

void CUninstallDlg::AnnounceEnd(const UninstallOutcome& outcome) {
  const std::lock_guard<std::mutex> lock(m_mailboxLock);
  m_announcedEnd = outcome;
}

void CUninstallDlg::OnPhaseStarted() {
  std::optional<std::string> status;
  {
    const std::lock_guard<std::mutex> lock(m_mailboxLock);
    status.swap(m_announcedPhase);
  }
  if (!status) return;
  m_status = *status;
  (void)m_progress.StepIt();
  (void)UpdateData(FALSE);
}

void CUninstallDlg::OnSequenceEnded() {
  std::optional<UninstallOutcome> outcome;
  {
    const std::lock_guard<std::mutex> lock(m_mailboxLock);
    outcome.swap(m_announcedEnd);
  }
  if (!outcome) return;
  m_worker.Join();
  if (!outcome->remaining.empty()) {
    if (m_log != nullptr) m_log->Remaining(outcome->remaining);
    (void)::MessageBoxA(Handle(), RemainingText(outcome->remaining).c_str(), APP_TITLE, MB_OK | MB_ICONEXCLAMATION);
  }
  bool restart = false;
  if (outcome->driverPhaseRan) {
    restart = ::MessageBoxA(Handle(), kRestartQuestion, APP_TITLE, MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (m_log != nullptr) m_log->Note(restart ? "Restart asked for" : "Restart declined");
  }
  m_status = outcome->remaining.empty() ? kCompletedStatus : kIncompleteStatus;
  if (m_log != nullptr) m_log->Note(m_status);
  if (restart) {
    ShowStep(RESTART_TIMER_ID);
    return;
  }
  (void)m_progress.SetPos(100);
  m_printerNames.clear();
  ShowStep(COMPLETION_TIMER_ID);
}

void CUninstallDlg::OnTimer(UINT_PTR timerId) {
  (void)::KillTimer(Handle(), timerId);
  switch (timerId) {
    case SCAN_TIMER_ID:
      ScanInstallation();
      return;
    case COMPLETION_TIMER_ID:
      OnOK();
      return;
    case RESTART_TIMER_ID:
      if (m_log != nullptr) m_log->Finished(ERROR_SUCCESS);
      // Whether or not Windows takes the request, the program's part is over.
      (void)RestartWindows();
      std::exit(0);
    default:
      return;
  }
}

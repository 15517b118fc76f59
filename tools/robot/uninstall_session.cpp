#include "tools/robot/uninstall_session.h"

#include <commctrl.h>

#include <algorithm>

#include "identity/target_identity.h"
#include "res/resource.h"

namespace robot {

std::string ButtonName(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "button " + std::to_string(id);
  }
}

BoxAnswerer AnswerQuestionsWith(int yesNo) {
  return [yesNo](const MessageBoxInfo& box) {
    const auto has = [&](int id) {
      return std::find(box.buttonIds.begin(), box.buttonIds.end(), id) != box.buttonIds.end();
    };
    if (has(IDYES) && has(IDNO)) return yesNo;
    if (has(IDOK)) return IDOK;
    return box.buttonIds.empty() ? IDCANCEL : box.buttonIds.front();
  };
}

// The dialog exists before the system shows it, and the robot works only a dialog on screen: until
// then the search goes on. Its message boxes bear the same class and caption.
bool UninstallSession::Attach(DWORD timeoutMs) {
  DWORD pid = 0;
  const bool appeared = WaitUntil(
      [&] {
        for (HWND found = ::FindWindowExA(nullptr, nullptr, "#32770", APP_TITLE); found != nullptr;
             found = ::FindWindowExA(nullptr, found, "#32770", APP_TITLE)) {
          if (::GetDlgItem(found, IDC_PRINTER_LIST) == nullptr || ::GetWindowThreadProcessId(found, &pid) == 0) continue;
          dialog_ = DialogRobot::WaitForDialog(pid, APP_TITLE, IDC_PRINTER_LIST, 0);
          if (dialog_) return true;
        }
        return false;
      },
      timeoutMs);
  return appeared && program_.Attach(pid);
}

bool UninstallSession::Start(const std::string& commandLine, DWORD timeoutMs,
                             const std::string& currentDirectory, HANDLE token) {
  if (!program_.Start(commandLine, currentDirectory, token)) return false;
  const DWORD pid = program_.ProcessId();
  return WaitUntil(
      [&] {
        if (!dialog_) dialog_ = DialogRobot::WaitForDialog(pid, APP_TITLE, IDC_PRINTER_LIST, 0);
        return dialog_.has_value() || FindMessageBox(pid, nullptr).has_value() || !program_.IsRunning();
      },
      timeoutMs);
}

std::vector<std::string> RunRecord::StatusTexts() const {
  std::vector<std::string> texts;
  for (const StatusSeen& status : statuses) texts.push_back(status.text);
  return texts;
}

bool UninstallSession::WaitForScan(DWORD timeoutMs) {
  const DWORD pid = program_.ProcessId();
  const bool scanned = WaitUntil(
      [&] {
        if (!program_.IsRunning()) return true;
        if (!dialog_) dialog_ = DialogRobot::WaitForDialog(pid, APP_TITLE, IDC_PRINTER_LIST, 0);
        if (!dialog_) return FindMessageBox(pid, nullptr).has_value();
        if (FindMessageBox(pid, dialog_->Window())) return true;
        if (!dialog_->ControlText(IDC_STATUS_TEXT).empty() || !dialog_->IsEnabled(IDCANCEL)) return true;
        const std::optional<LRESULT> count = dialog_->QueryControl(IDC_PRINTER_LIST, LB_GETCOUNT, 0, 0, 50);
        return count && *count > 0;
      },
      timeoutMs);
  // Answering a query means the program waits for the user, its empty bar painted.
  if (scanned && dialog_ && dialog_->QueryControl(IDC_PROGRESS, PBM_GETPOS).value_or(-1) == 0) {
    emptyProgressRow_ = dialog_->ControlMiddleRow(IDC_PROGRESS);
  }
  return scanned;
}

bool UninstallSession::Tick(const std::vector<std::string>& lines, DWORD timeoutMs) {
  if (!dialog_) return false;
  std::optional<std::vector<std::string>> listed = dialog_->ListLines(IDC_PRINTER_LIST);
  if (!listed) return false;
  const std::vector<std::string>& wanted = lines.empty() ? *listed : lines;
  for (const std::string& line : wanted) {
    const auto found = std::find(listed->begin(), listed->end(), line);
    if (found == listed->end()) return false;
    const int index = static_cast<int>(found - listed->begin());
    if (dialog_->IsLineChecked(IDC_PRINTER_LIST, index).value_or(false)) continue;
    if (!dialog_->ClickCheckBox(IDC_PRINTER_LIST, index)) return false;
    if (!WaitUntil([&] { return dialog_->IsLineChecked(IDC_PRINTER_LIST, index).value_or(false); },
                   timeoutMs)) {
      return false;
    }
  }
  return true;
}

RunRecord UninstallSession::RunToEnd(const BoxAnswerer& answer, DWORD timeoutMs) {
  // The program changes the status text, then paints; the bar is read a moment later, well
  // within the second that each status stays on screen.
  constexpr ULONGLONG kProgressReadDelayMs = 150;
  const DWORD pid = program_.ProcessId();
  HWND answered = nullptr;
  ULONGLONG progressDue = 0;
  (void)WaitUntil(
      [&] {
        if (dialog_ && dialog_->Exists()) {
          const std::string status = dialog_->ControlText(IDC_STATUS_TEXT);
          if (!status.empty() && (record_.statuses.empty() || record_.statuses.back().text != status)) {
            record_.statuses.push_back(StatusSeen{status, std::nullopt});
            if (report_) report_("status: " + status);
            progressDue = emptyProgressRow_.empty() ? 0 : ::GetTickCount64() + kProgressReadDelayMs;
          }
          if (progressDue != 0 && ::GetTickCount64() >= progressDue) {
            const int percent = FilledPercent(emptyProgressRow_, dialog_->ControlMiddleRow(IDC_PROGRESS));
            if (percent >= 0) record_.statuses.back().progressPercent = percent;
            progressDue = 0;
          }
        }
        if (std::optional<MessageBoxInfo> box = FindMessageBox(pid, dialog_ ? dialog_->Window() : nullptr)) {
          if (box->window != answered) {
            MessageBoxSeen seen;
            seen.box = *box;
            seen.answer = answer(*box);
            if (dialog_ && dialog_->Exists()) {
              if (std::optional<LRESULT> position = dialog_->QueryControl(IDC_PROGRESS, PBM_GETPOS)) {
                seen.progress = static_cast<int>(*position);
              }
            }
            if (report_) report_("message box \"" + box->caption + "\":\n" + box->text);
            if (AnswerMessageBox(*box, seen.answer)) {
              answered = box->window;
              record_.messageBoxes.push_back(seen);
              if (report_) report_("answered: " + ButtonName(seen.answer));
            }
          }
        }
        return !program_.IsRunning();
      },
      timeoutMs);
  record_.exitCode = program_.WaitForExit(0);
  return record_;
}

}  // namespace robot

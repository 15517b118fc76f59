#include "app/uninstall_log.h"

#include <cstdio>

#include "identity/target_identity.h"
#include "res/version.h"
#include "win/system_message.h"
#include "win/well_known_dirs.h"

namespace {

constexpr char kLogFolder[] = "Logs";
constexpr char kLogName[] = "KARVELO_QTM-820wide_uninstall.log";

std::string TimeOfDay(const SYSTEMTIME& time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", time.wHour, time.wMinute, time.wSecond);
  return text;
}

ULONGLONG Minutes(const SYSTEMTIME& time) {
  FILETIME asFileTime{};
  (void)::SystemTimeToFileTime(&time, &asFileTime);
  return ((static_cast<ULONGLONG>(asFileTime.dwHighDateTime) << 32) | asFileTime.dwLowDateTime) / 600000000ULL;
}

// Local time with its offset from UTC, both from one reading of the clock: read twice, local time
// and UTC could fall either side of the turn of a minute, or of a change to or from daylight saving
// time, and the offset be a minute or an hour off.
std::string DateAndTimeNow() {
  SYSTEMTIME utc{};
  ::GetSystemTime(&utc);
  SYSTEMTIME local = utc;
  // Where the time zone cannot be applied, the header says UTC, which is then what it shows.
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  const long long offset = static_cast<long long>(Minutes(local)) - static_cast<long long>(Minutes(utc));
  const long long magnitude = offset < 0 ? -offset : offset;
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %s UTC%c%02lld:%02lld", local.wYear, local.wMonth, local.wDay,
                TimeOfDay(local).c_str(), offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return text;
}

std::string ComputerName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  return ::GetComputerNameA(name, &size) ? std::string(name, size) : std::string("(unknown)");
}

// The system's text for an error, on one line.
std::string ErrorText(DWORD code) {
  std::string text = SystemMessageText(code);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return "error " + std::to_string(code) + (text.empty() ? std::string() : ": " + text);
}

std::string Meaning(DWORD exitCode) {
  switch (exitCode) {
    case ERROR_SUCCESS:
      return "done";
    case ERROR_SUCCESS_REBOOT_REQUIRED:
      return "done; Windows must restart to complete the removal";
    case ERROR_INSTALL_FAILURE:
      return "failed";
    case ERROR_INSTALL_ALREADY_RUNNING:
      return "another copy of the uninstaller is running; nothing was removed";
    case ERROR_INSTALL_PLATFORM_UNSUPPORTED:
      return "this is 64-bit Windows; nothing was removed";
    case ERROR_INVALID_COMMAND_LINE:
      return "invalid command line; nothing was removed";
    default:
      return ErrorText(exitCode);
  }
}

}  // namespace

std::string DefaultLogPath() {
  const std::optional<std::string> windows = WindowsDirectory();
  if (!windows) return std::string();
  const std::string folder = *windows + "\\" + kLogFolder;
  // Made where it is missing, it takes the Windows directory's permissions.
  (void)::CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + kLogName;
}

DWORD UninstallLog::Open(const std::string& path, const char* commandLine) {
  const DWORD opened = path.empty() ? static_cast<DWORD>(ERROR_PATH_NOT_FOUND) : file_.Open(path);
  if (opened != ERROR_SUCCESS && echo_ == nullptr) return opened;
  // A blank line parts the runs of a file that is appended to.
  if (file_.IsOpen()) (void)file_.Append("\r\n");
  Write("==== " + DateAndTimeNow() + "  " + APP_TITLE + " " + QTM_VERSION_TEXT + " on " + ComputerName() + "\r\n");
  Line(std::string("Command line: ") + (commandLine != nullptr ? commandLine : ""));
  return opened;
}

void UninstallLog::Write(const std::string& text) {
  if (file_.IsOpen()) (void)file_.Append(text);
  if (echo_ == nullptr) return;
  // Whoever reads it may have gone: the run goes on without it.
  DWORD written = 0;
  (void)::WriteFile(echo_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void UninstallLog::Line(const std::string& text) {
  if (!file_.IsOpen() && echo_ == nullptr) return;
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  Write(TimeOfDay(now) + "  " + text + "\r\n");
}

void UninstallLog::PhaseStarted(const std::string& status) { Line(status); }

void UninstallLog::StepDone(const std::string& step, const RemovalResult& result) {
  std::string outcome = result.Succeeded() ? "done" : "failed, " + ErrorText(result.error);
  if (result.atRestart) outcome += "; in use, goes at the next restart";
  for (const std::string& note : result.notes) outcome += "; " + note;
  Line(step + ": " + outcome);
}

void UninstallLog::Scanned(const ScanFindings& findings) {
  switch (findings.verdict) {
    case ScanFindings::Verdict::PrinterListFailed:
      Line("The printers could not be listed: " + ErrorText(findings.listError));
      return;
    case ScanFindings::Verdict::Printers: {
      std::string line = "Printers of the model: " + std::to_string(findings.foundPrinterCount);
      const size_t unnamed = static_cast<size_t>(findings.foundPrinterCount) - findings.printerNames.size();
      if (unnamed != 0) {
        line += ", of which " + std::to_string(unnamed) +
                " cannot be named in this system's ANSI code page and stay, and with them the driver package";
      }
      Line(line);
      return;
    }
    case ScanFindings::Verdict::PackageWithoutPrinters:
      Line(findings.leftover.empty() ? "No printer of the model; its driver is installed"
                                     : "No printer and no driver of the model; left of its package: " + findings.leftover);
      return;
    case ScanFindings::Verdict::NothingInstalled:
      Line("Nothing of the model is installed");
      return;
  }
}

void UninstallLog::Note(const std::string& text) { Line(text); }

void UninstallLog::Remaining(const std::vector<std::string>& items) {
  for (const std::string& item : items) Line("Left on the machine: " + item);
}

void UninstallLog::Found(const std::vector<Finding>& findings) {
  for (const Finding& finding : findings) {
    switch (finding.kind) {
      case Finding::Kind::Present:
        Line("Found on the machine: " + finding.what);
        break;
      case Finding::Kind::GoesAtRestart:
        Line("Goes at the next restart: " + finding.what);
        break;
      case Finding::Kind::Unknown:
        Line("Cannot look at: " + finding.what);
        break;
    }
  }
}

void UninstallLog::Finished(DWORD exitCode) { Finished(exitCode, Meaning(exitCode)); }

void UninstallLog::Finished(DWORD exitCode, const std::string& meaning) {
  Line("Exit code " + std::to_string(exitCode) + ": " + meaning);
}

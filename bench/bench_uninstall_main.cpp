// bench_uninstall: times the uninstaller on a staged machine, working it as a person would, or
// as a deployment tool runs it.
//
//   bench_uninstall full|half|clean|sample <starts> <uninstaller.exe>
//   bench_uninstall clean <starts> <uninstaller.exe> <other uninstaller.exe>
//   bench_uninstall full|half|clean|sample quiet <uninstaller.exe>
//
// On a machine with nothing of the model ("clean") it starts the uninstaller <starts> times, timing
// each from process creation until its scan shows the message that nothing is left; given two,
// it starts them in turn ("a" the first, "b" the second), so that both meet the same load on a
// shared machine. Otherwise it first starts the uninstaller <starts> times, timing each from process creation to the
// dialog and to the filled printer list, and cancels it. Then it starts it once more, ticks every
// printer, presses Uninstall, answers No to the restart and times the whole uninstall from the
// press to the end of the process, asking the dialog every 50 ms meanwhile whether it answers and
// keeping the longest time an answer took. With "quiet" it starts the uninstaller once with /quiet
// and times it from its start to its end, between two runs of /check /quiet timed the same way
// (before: the staged machine; after: what the uninstall left). Lines that start with "bench:" are the figures, for run.sh.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "bench/heavy_machine.h"
#include "bench/stopwatch.h"
#include "res/resource.h"
#include "tools/robot/answer_probe.h"
#include "tools/robot/uninstall_session.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"

namespace {

// The fixed pauses the uninstaller was first built with, the yardstick of the wall time: a second
// on screen for each of the three status texts, and 2 s + 4 s around the spooler restart, which
// now waits for the service instead.
constexpr double kFixedPausesMs = 1000 + 1000 + 2000 + 4000 + 1000;
constexpr DWORD kTimeoutMs = 300000;
constexpr char kNothingLeftText[] = "QTM-820wide Driver is not exist.\nUnistall aleady completed.";

struct StartTimes {
  double dialogMs = 0;
  double listMs = 0;
  int listed = 0;
};

bool StartToList(robot::UninstallSession& session, const std::string& commandLine, StartTimes& times) {
  const bench::Stopwatch clock;
  if (!session.Start(commandLine, kTimeoutMs)) return false;
  times.dialogMs = clock.ElapsedMs();
  if (!session.WaitForScan(kTimeoutMs) || session.Dialog() == nullptr) return false;
  times.listMs = clock.ElapsedMs();
  const auto lines = session.Dialog()->ListLines(IDC_PRINTER_LIST);
  times.listed = lines ? static_cast<int>(lines->size()) : 0;
  return true;
}

bool TimeStartAndCancel(const std::string& commandLine, int run) {
  robot::UninstallSession session;
  StartTimes times;
  if (!StartToList(session, commandLine, times)) return false;
  std::printf("bench: start %d dialog_ms %.1f list_ms %.1f listed %d\n", run, times.dialogMs, times.listMs,
              times.listed);
  if (!robot::WaitUntil([&] { return session.Dialog()->PressButton(IDCANCEL); }, 5000)) return false;
  return session.Program().WaitForExit(kTimeoutMs).has_value();
}

// The robot looks for the message box every few milliseconds.
bool TimeStartToNothingLeft(const std::string& commandLine, int run, char uninstaller) {
  robot::UninstallSession session;
  const bench::Stopwatch clock;
  if (!session.Start(commandLine, kTimeoutMs) || !session.WaitForScan(kTimeoutMs)) return false;
  const double messageMs = clock.ElapsedMs();
  const robot::RunRecord record = session.RunToEnd(robot::AnswerQuestionsWith(IDNO), kTimeoutMs);
  if (record.messageBoxes.size() != 1 || record.messageBoxes[0].box.text != kNothingLeftText ||
      !record.statuses.empty()) {
    return false;
  }
  std::printf("bench: nothing_left %d uninstaller %c message_ms %.1f\n", run, uninstaller, messageMs);
  return true;
}

// A long list shows only some of its lines: each is scrolled to the top, as a person would with
// the scroll bar, before its box is clicked.
bool TickEveryLine(robot::DialogRobot& dialog, int lines) {
  for (int index = 0; index < lines; ++index) {
    if (!dialog.QueryControl(IDC_PRINTER_LIST, LB_SETTOPINDEX, static_cast<WPARAM>(index))) return false;
    if (!dialog.ClickCheckBox(IDC_PRINTER_LIST, index)) return false;
    if (!robot::WaitUntil([&] { return dialog.IsLineChecked(IDC_PRINTER_LIST, index).value_or(false); }, 5000)) {
      return false;
    }
  }
  return true;
}

// What must be gone once the package has been removed; a fast run that removed nothing is no run.
void ReportWhatIsLeft() {
  int modelPrinters = 0;
  for (const stager::ListedPrinter& printer : stager::ListPrinters()) modelPrinters += printer.driverName == DRIVER_NAME;
  std::printf("bench: left model_printers %d data_directory %d oem1_inf %d model_usb_node %d uninstall_key %d\n",
              modelPrinters, stager::DirectoryExists(stager::DataDirectoryPath()) ? 1 : 0,
              stager::FileExists(stager::FolderPath(stager::Folder::Inf) + "\\oem1.inf") ? 1 : 0,
              stager::DeviceNodeExists("USB\\VID_2E5B&PID_0017\\KV000000") ? 1 : 0,
              stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY) ? 1 : 0);
}

bool TimeFullUninstall(const std::string& commandLine, int expectedPrinters) {
  robot::UninstallSession session;
  StartTimes times;
  if (!StartToList(session, commandLine, times)) return false;
  std::printf("bench: start full dialog_ms %.1f list_ms %.1f listed %d\n", times.dialogMs, times.listMs,
              times.listed);
  if (times.listed != expectedPrinters) {
    std::printf("bench_uninstall: %d printers listed, %d expected\n", times.listed, expectedPrinters);
    return false;
  }
  robot::DialogRobot& dialog = *session.Dialog();
  if (!TickEveryLine(dialog, times.listed)) {
    std::printf("bench_uninstall: a printer could not be ticked\n");
    return false;
  }
  if (!robot::WaitUntil([&] { return dialog.IsEnabled(IDC_UNINSTALL); }, 5000)) return false;
  robot::AnswerProbe probe(dialog.Window());
  const bench::Stopwatch clock;
  if (!dialog.PressButton(IDC_UNINSTALL)) return false;
  session.ReportEventsTo([&](const std::string& event) {
    std::printf("bench: event_ms %.1f %s\n", clock.ElapsedMs(), event.substr(0, event.find('\n')).c_str());
  });
  const robot::RunRecord record = session.RunToEnd(robot::AnswerQuestionsWith(IDNO), kTimeoutMs);
  const double wallMs = clock.ElapsedMs();
  const double longestUnansweredMs = probe.Stop();
  if (!record.exitCode) return false;
  std::printf("bench: uninstall wall_ms %.1f fixed_ms %.0f ratio %.3f overhead_ms %.1f exit %lu\n", wallMs,
              kFixedPausesMs, wallMs / kFixedPausesMs, wallMs - kFixedPausesMs,
              static_cast<unsigned long>(*record.exitCode));
  std::printf("bench: answers longest_wait_ms %.1f\n", longestUnansweredMs);
  ReportWhatIsLeft();
  return true;
}

// From the program's start to its end; nothing if it did not end.
std::optional<double> TimeToTheEnd(const std::string& commandLine, DWORD& exitCode) {
  LaunchedProgram program;
  const bench::Stopwatch clock;
  if (!program.Start(commandLine)) return std::nullopt;
  const std::optional<DWORD> ended = program.WaitForExit(kTimeoutMs);
  const double wallMs = clock.ElapsedMs();
  if (!ended) return std::nullopt;
  exitCode = *ended;
  return wallMs;
}

// The check before the silent uninstall and after it, in the same copy of the machine, so that
// the three meet the same load.
bool TimeQuietUninstallBetweenChecks(const std::string& commandLine) {
  DWORD exitCode = 0;
  for (const char* when : {"before", "quiet", "after"}) {
    const bool check = std::string(when) != "quiet";
    const std::optional<double> wallMs = TimeToTheEnd(commandLine + (check ? " /check /quiet" : " /quiet"), exitCode);
    if (!wallMs) return false;
    if (check) {
      std::printf("bench: check %s wall_ms %.1f exit %lu\n", when, *wallMs, static_cast<unsigned long>(exitCode));
    } else {
      std::printf("bench: quiet wall_ms %.1f exit %lu\n", *wallMs, static_cast<unsigned long>(exitCode));
    }
  }
  ReportWhatIsLeft();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  bench::Machine machine;
  const bool twoUninstallers = argc == 5 && std::string(argv[1]) == "clean";
  if ((argc != 4 && !twoUninstallers) || !bench::FindMachine(argv[1], machine)) {
    std::printf("usage: bench_uninstall full|half|clean|sample <starts>|quiet <uninstaller.exe>\n"
                "       bench_uninstall clean <starts> <uninstaller.exe> <other uninstaller.exe>\n");
    return 2;
  }
  std::printf("machine: %s", machine.description.c_str());
  if (std::string(argv[2]) == "quiet") {
    if (TimeQuietUninstallBetweenChecks(std::string("\"") + argv[3] + "\"")) return 0;
    std::printf("bench_uninstall: the quiet uninstall did not end\n");
    return 1;
  }
  const int starts = std::atoi(argv[2]);
  const std::string commandLine = std::string("\"") + argv[3] + "\"";
  if (machine.nothingOfTheModel) {
    std::vector<std::string> commandLines{commandLine};
    if (twoUninstallers) commandLines.push_back(std::string("\"") + argv[4] + "\"");
    for (int run = 1; run <= starts; ++run) {
      for (size_t u = 0; u < commandLines.size(); ++u) {
        if (!TimeStartToNothingLeft(commandLines[u], run, static_cast<char>('a' + u))) {
          std::printf("bench_uninstall: start %d did not end in the message that nothing is left\n", run);
          return 1;
        }
      }
    }
    return 0;
  }
  for (int run = 1; run <= starts; ++run) {
    if (!TimeStartAndCancel(commandLine, run)) {
      std::printf("bench_uninstall: start %d did not come to a filled list and end\n", run);
      return 1;
    }
  }
  if (!TimeFullUninstall(commandLine, machine.modelPrinters)) {
    std::printf("bench_uninstall: the full uninstall did not run to its end\n");
    return 1;
  }
  return 0;
}

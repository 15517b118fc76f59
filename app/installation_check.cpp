#include "app/installation_check.h"

#include <string>
#include <vector>

#include "app/single_instance.h"
#include "app/uninstall_log.h"
#include "engine/model_look.h"
#include "identity/target_identity.h"
#include "win/standard_output.h"
#include "win/wow64.h"

namespace {

// The things found that the message box names; the rest it counts.
constexpr size_t kNamedInTheBox = 10;
constexpr char kNothingChanged[] = "\n\nNothing was changed.";

struct CheckOutcome {
  DWORD exitCode = ERROR_SUCCESS;
  std::string meaning;
  // What the message box says, and its icon.
  std::string told;
  UINT icon = MB_ICONINFORMATION;
};

std::vector<std::string> OfKind(const std::vector<Finding>& findings, Finding::Kind kind) {
  std::vector<std::string> whats;
  for (const Finding& finding : findings) {
    if (finding.kind == kind) whats.push_back(finding.what);
  }
  return whats;
}

std::string Listed(const std::vector<std::string>& whats) {
  std::string text;
  for (size_t i = 0; i < whats.size() && i < kNamedInTheBox; ++i) text += "\n    " + whats[i];
  if (whats.size() > kNamedInTheBox) text += "\n    ... and " + std::to_string(whats.size() - kNamedInTheBox) + " more";
  return text;
}

CheckOutcome Looked(const std::vector<Finding>& findings) {
  const std::vector<std::string> present = OfKind(findings, Finding::Kind::Present);
  const std::vector<std::string> unknown = OfKind(findings, Finding::Kind::Unknown);
  const size_t atRestart = OfKind(findings, Finding::Kind::GoesAtRestart).size();
  const std::string restartNote =
      atRestart == 0 ? std::string()
                     : "\n\nWindows deletes " + std::to_string(atRestart) + " more at the next restart.";
  if (!unknown.empty()) {
    return {ERROR_INSTALL_FAILURE, "failed: the check could not look at everything",
            std::string("The check cannot tell what of the ") + DRIVER_NAME +
                " is on this computer. It could not look at:\n" + Listed(unknown) + kNothingChanged,
            MB_ICONEXCLAMATION};
  }
  if (present.empty()) {
    return {ERROR_SUCCESS, "nothing of the model is on this computer",
            std::string("Nothing of the ") + DRIVER_NAME + " is on this computer." + restartNote + kNothingChanged};
  }
  return {CHECK_FOUND_THE_MODEL, "something of the model is on this computer",
          "Found on this computer (" + std::to_string(present.size()) + "):\n" + Listed(present) + restartNote +
              kNothingChanged};
}

CheckOutcome Check(const CommandLine& line, UninstallLog& log) {
  if (line.Refused()) {
    log.Note("The command line is not understood: " + line.problem);
    return {ERROR_INVALID_COMMAND_LINE, "invalid command line; nothing was looked at",
            "The command line is not understood: " + line.problem + "." + kNothingChanged, MB_ICONEXCLAMATION};
  }
  if (line.help) return {ERROR_SUCCESS, "the usage was asked for; nothing was looked at", USAGE_TEXT};
  if (RunsUnderWow64()) {
    return {ERROR_INSTALL_PLATFORM_UNSUPPORTED, "this is 64-bit Windows, which the uninstaller is not for",
            std::string("This uninstaller is for 32-bit Windows only. This computer runs 64-bit Windows, where it "
                        "cannot tell what of the ") +
                DRIVER_NAME + " is there." + kNothingChanged,
            MB_ICONEXCLAMATION};
  }
  // The answer would hold for a moment only.
  if (AnotherCopyHoldsTheRule()) {
    return {ERROR_INSTALL_ALREADY_RUNNING, "another copy of the uninstaller is running; check again once it has finished",
            std::string("The ") + APP_TITLE + " is running on this computer.\n\nCheck again once it has finished." +
                kNothingChanged};
  }
  const std::vector<Finding> findings = LookForWhatThePlanRemoves(PlanForEverything());
  log.Found(findings);
  return Looked(findings);
}

}  // namespace

DWORD CheckTheMachine(const CommandLine& line, bool withBox) {
  // Nor a message box of the system's own (a drive that is not ready, say) where none is to be seen.
  if (!withBox) (void)::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  UninstallLog log;
  log.EchoTo(GivenStandardOutput());
  (void)log.Open(line.logPath.value_or(std::string()), ::GetCommandLineA());
  const CheckOutcome outcome = Check(line, log);
  log.Finished(outcome.exitCode, outcome.meaning);
  if (withBox) (void)::MessageBoxA(nullptr, outcome.told.c_str(), APP_TITLE, MB_OK | outcome.icon);
  return outcome.exitCode;
}

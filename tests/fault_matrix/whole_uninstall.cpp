#include "tests/fault_matrix/whole_uninstall.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "tests/e2e_support.h"
#include "win/reg_key.h"

namespace fault_matrix {

void WholeUninstall::StageMachine() {
  ASSERT_TRUE(StageForTest(machine_));
  std::string error;
  ASSERT_TRUE(StageLookAlikeKeys(error)) << error;
  // The device installer names a node's driver key when it makes it; the key goes with the node.
  for (const std::string& node : StandardModelNodes()) {
    if (const std::optional<std::string> driverKey = stager::DeviceDriverKey(node)) {
      expected_.removed.push_back(MachineKey(*driverKey));
    }
  }
}

UninstallRun WholeUninstall::RunAndCheck(Ending ending) {
  const MachineState before = ObserveMachine();
  UninstallRun run = UninstallEverythingListed();
  ExpectRanToCompletion(run, ending);
  ExpectOnlyModelArtefactsGone(before, ObserveMachine(), expected_);
  return run;
}

std::vector<std::string> PendingDeletions() {
  std::vector<std::string> deletions;
  RegKey sessionManager;
  if (sessionManager.Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", KEY_READ) !=
      ERROR_SUCCESS) {
    return deletions;
  }
  DWORD size = 0;
  if (::RegQueryValueExA(sessionManager.Get(), "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) !=
      ERROR_SUCCESS) {
    return deletions;
  }
  std::vector<char> data(size + 2, '\0');
  (void)::RegQueryValueExA(sessionManager.Get(), "PendingFileRenameOperations", nullptr, nullptr,
                           reinterpret_cast<BYTE*>(data.data()), &size);
  // Pairs of source and target, each closed by a terminator; an empty target means deletion.
  std::vector<std::string> texts;
  for (size_t at = 0; at < size; at += texts.back().size() + 1) texts.emplace_back(&data[at]);
  for (size_t i = 0; i + 1 < texts.size(); i += 2) {
    if (!texts[i + 1].empty()) continue;
    std::string source = texts[i].rfind("\\??\\", 0) == 0 ? texts[i].substr(4) : texts[i];
    std::transform(source.begin(), source.end(), source.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    deletions.push_back(source);
  }
  return deletions;
}

}  // namespace fault_matrix

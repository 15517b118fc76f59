// On 64-bit Windows the 32-bit uninstaller would see redirected views of the registry and the
// system directory and remove the wrong half of the package: it refuses there, before it changes
// anything. This runs in a 64-bit prefix (the launcher's --win64), where the test, the stager and
// the uninstaller all run under WOW64 as 32-bit programs do on 64-bit Windows.

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tests/e2e_support.h"
#include "tests/fault_matrix/expectations.h"
#include "tools/robot/uninstall_session.h"
#include "tools/stager/presets.h"

namespace {

constexpr DWORD kStartTimeoutMs = 120000;
constexpr DWORD kExitTimeoutMs = 20000;

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

TEST(Wow64Refusal, OneBoxSaysTheUninstallerIsFor32BitWindowsAndNothingChanges) {
  BOOL wow64 = FALSE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64) << "not in a 64-bit prefix";
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  ASSERT_TRUE(UninstallKeyExists());
  const fault_matrix::Snapshot before = fault_matrix::TakeSnapshot();

  robot::UninstallSession session;
  ASSERT_TRUE(session.Start(UninstallerCommandLine(), kStartTimeoutMs));
  const std::optional<robot::MessageBoxInfo> box =
      robot::WaitForMessageBox(session.Program().ProcessId(), nullptr, kStartTimeoutMs);
  ASSERT_TRUE(box.has_value()) << "no message box came up";
  EXPECT_EQ(session.Dialog(), nullptr) << "the uninstall dialog came up";
  EXPECT_EQ(box->caption, APP_TITLE);
  EXPECT_EQ(box->buttonIds, std::vector<int>{IDOK});
  std::optional<UINT> icon;
  EXPECT_TRUE(robot::WaitUntil([&] { return (icon = robot::MessageBoxIcon(*box)) == UINT{MB_ICONEXCLAMATION}; },
                               5000))
      << "icon " << icon.value_or(0);
  EXPECT_TRUE(Contains(box->text, "for 32-bit Windows")) << box->text;
  EXPECT_TRUE(Contains(box->text, "64-bit Windows")) << box->text;
  EXPECT_TRUE(Contains(box->text, "Nothing was removed.")) << box->text;

  ASSERT_TRUE(robot::AnswerMessageBox(*box, IDOK));
  EXPECT_EQ(session.Program().WaitForExit(kExitTimeoutMs), std::optional<DWORD>(0));
  fault_matrix::ExpectNothingChanged(before, fault_matrix::TakeSnapshot());
}

// A deployment tool learns it from the exit code, and the log it collects says why.
TEST(Wow64Refusal, QuietItEndsWithPlatformNotSupportedShowingNothingAndChangingNothingButItsLog) {
  ASSERT_TRUE(StageForTest(stager::SampleInstallation()));
  const fault_matrix::Snapshot before = fault_matrix::TakeSnapshot();

  const WatchedRun run = RunUninstallerWatched("/quiet", kStartTimeoutMs);

  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(ERROR_INSTALL_PLATFORM_UNSUPPORTED));
  fault_matrix::Snapshot after = fault_matrix::TakeSnapshot();
  EXPECT_EQ(after.erase("C:\\windows\\logs\\KARVELO_QTM-820wide_uninstall.log"), 1u) << "no log was written";
  fault_matrix::ExpectNothingChanged(before, after);
}

}  // namespace

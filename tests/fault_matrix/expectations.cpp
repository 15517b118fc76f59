#include "tests/fault_matrix/expectations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "identity/target_identity.h"
#include "tests/fault_matrix/uninstall_run.h"
#include "tools/inventory/inventory.h"

namespace fault_matrix {

namespace {

// The section "windows" of the user's profile, where every run writes the spooler's time-outs.
constexpr char kProfileWindowsKey[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// Changed by Wine on its own: the service counter moves whenever a service starts (the spooler,
// restarted by every run), and the user's session parameters are written when a program with
// windows starts.
const char* const kChangedByThePlatform[] = {
    "HKLM\\System\\CurrentControlSet\\Control\\ServiceCurrent",
    "HKCU\\Software\\Wine\\Temporary System Parameters",
};

bool WithinAny(const std::string& path, const std::vector<std::string>& roots) {
  return std::any_of(roots.begin(), roots.end(), [&](const std::string& root) { return IsWithin(path, root); });
}

bool IsAnyOf(const std::string& path, const std::vector<std::string>& entries) {
  return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
    return path.size() == entry.size() && IsWithin(path, entry);
  });
}

bool ChangedByThePlatform(const std::string& path) {
  return std::any_of(std::begin(kChangedByThePlatform), std::end(kChangedByThePlatform),
                     [&](const char* root) { return IsWithin(path, root); });
}

bool MayChangeOnAnyRun(const std::string& path) {
  if (IsWithin(path, kRunLog)) return true;
  if (path == kProfileWindowsKey || path == std::string(kProfileWindowsKey) + "|DeviceNotSelectedTimeout" ||
      path == std::string(kProfileWindowsKey) + "|TransmissionRetryTimeout") {
    return true;
  }
  return ChangedByThePlatform(path);
}

std::string Listing(const std::vector<std::string>& paths) {
  constexpr size_t kShown = 40;
  std::string text;
  for (size_t i = 0; i < paths.size() && i < kShown; ++i) text += "\n  " + paths[i];
  if (paths.size() > kShown) text += "\n  ... and " + std::to_string(paths.size() - kShown) + " more";
  return text;
}

}  // namespace

MachineState ObserveMachine() {
  MachineState state;
  state.snapshot = TakeSnapshot();
  state.lookAlikes = inventory::Lines(inventory::TakeInventory(), inventory::Kind::Other);
  std::sort(state.lookAlikes.begin(), state.lookAlikes.end());
  return state;
}

void ExpectOnlyModelArtefactsGone(const MachineState& before, const MachineState& after,
                                  const Expectation& expectation) {
  std::vector<std::string> modelLeft, keptGone, othersGone, othersChanged, appeared;
  for (const auto& [path, content] : before.snapshot) {
    const auto found = after.snapshot.find(path);
    const bool present = found != after.snapshot.end();
    const bool kept = WithinAny(path, expectation.kept) || IsAnyOf(path, expectation.keptEntries);
    if (kept) {
      if (!present) keptGone.push_back(path);
    } else if (WithinAny(path, expectation.removed)) {
      if (present) modelLeft.push_back(path);
    } else if (!present) {
      othersGone.push_back(path);
    } else if (found->second != content && !MayChangeOnAnyRun(path) && !WithinAny(path, expectation.mayChange)) {
      othersChanged.push_back(path);
    }
  }
  for (const auto& [path, content] : after.snapshot) {
    if (before.snapshot.count(path) == 0 && !MayChangeOnAnyRun(path) && !WithinAny(path, expectation.mayChange)) {
      appeared.push_back(path);
    }
  }
  EXPECT_TRUE(modelLeft.empty()) << "artefacts of the model left behind:" << Listing(modelLeft);
  EXPECT_TRUE(keptGone.empty()) << "artefacts the fault protects are gone:" << Listing(keptGone);
  EXPECT_TRUE(othersGone.empty()) << "deleted outside the model's artefacts:" << Listing(othersGone);
  EXPECT_TRUE(othersChanged.empty()) << "changed outside the model's artefacts:" << Listing(othersChanged);
  EXPECT_TRUE(appeared.empty()) << "appeared:" << Listing(appeared);
  // The inventory tells another product's artefacts from the model's partly by the model's own
  // records, which the run removes: a look-alike may only be joined by what it took for the
  // model's before, never lose one.
  std::vector<std::string> lookAlikesGone;
  std::set_difference(before.lookAlikes.begin(), before.lookAlikes.end(), after.lookAlikes.begin(),
                      after.lookAlikes.end(), std::back_inserter(lookAlikesGone));
  EXPECT_TRUE(lookAlikesGone.empty()) << "look-alikes of other products gone:" << Listing(lookAlikesGone);
}

void ExpectNothingChanged(const Snapshot& before, const Snapshot& after) {
  SnapshotDifference difference = Compare(before, after);
  for (std::vector<std::string>* paths : {&difference.removed, &difference.added, &difference.changed}) {
    paths->erase(std::remove_if(paths->begin(), paths->end(), ChangedByThePlatform), paths->end());
  }
  EXPECT_TRUE(difference.removed.empty()) << "deleted:" << Listing(difference.removed);
  EXPECT_TRUE(difference.added.empty()) << "appeared:" << Listing(difference.added);
  EXPECT_TRUE(difference.changed.empty()) << "changed:" << Listing(difference.changed);
}

void ExpectRanToCompletion(const UninstallRun& run, Ending ending, const std::vector<std::string>& remaining) {
  ASSERT_TRUE(run.started) << "the uninstaller did not show its dialog";
  const std::vector<std::string> statuses = run.record.StatusTexts();
  std::vector<std::string> expected;
  if (!run.listedPrinters.empty()) expected.push_back("Delete printers...");
  if (ending == Ending::WholePackage) expected.push_back("Delete printer driver...");
  expected.push_back(remaining.empty() ? "Uninstall completed!" : "Uninstall incomplete!");
  EXPECT_EQ(statuses, expected);
  std::vector<robot::MessageBoxSeen> boxes = run.record.messageBoxes;
  if (!remaining.empty()) {
    ASSERT_FALSE(boxes.empty()) << "nothing named what remains";
    const robot::MessageBoxInfo& told = boxes.front().box;
    EXPECT_EQ(told.caption, APP_TITLE);
    EXPECT_NE(told.text.find("(" + std::to_string(remaining.size()) + "):"), std::string::npos) << told.text;
    for (size_t i = 0; i < remaining.size() && i < 5; ++i) {
      EXPECT_NE(told.text.find("\n    " + remaining[i] + "\n"), std::string::npos) << told.text;
    }
    boxes.erase(boxes.begin());
  }
  EXPECT_EQ(run.left, remaining) << "what the log reports left";
  if (ending == Ending::WholePackage) {
    ASSERT_EQ(boxes.size(), 1u) << "only the restart question is asked";
    EXPECT_EQ(boxes[0].box.caption, APP_TITLE);
    EXPECT_EQ(boxes[0].box.buttonIds, (std::vector<int>{IDYES, IDNO}));
  } else {
    EXPECT_TRUE(boxes.empty());
  }
  EXPECT_EQ(run.record.exitCode, std::optional<DWORD>(0)) << "the program did not end normally";
}

}  // namespace fault_matrix

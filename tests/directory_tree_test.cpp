// Removing a directory tree, under Wine, on the real file system.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "removal/removal.h"
#include "tests/removal_test_support.h"
#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"

namespace {

using removal_test::Exists;
using stager::TreeEntrySpec;

const std::string kParent = "C:\\data";
const std::string kTree = kParent + "\\tree";

void StageTree(const std::string& root, const std::vector<TreeEntrySpec>& entries) {
  std::string error;
  ASSERT_TRUE(stager::StageDirectoryTree(root, entries, error)) << error;
}

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

class WholeTree : public ::testing::TestWithParam<const char*> {};

TEST_P(WholeTree, GoesWithEveryKindOfEntryBottomUpAndNothingBesideIt) {
  const std::vector<TreeEntrySpec> entries = {
      {"README", false, 0},
      {"hidden.dat", false, FILE_ATTRIBUTE_HIDDEN},
      {"system.dat", false, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN},
      {"empty", true, 0},
      {"a\\b\\c\\d\\deep read-only.txt", false, FILE_ATTRIBUTE_READONLY},
      {"a\\b\\c\\plain.txt", false, 0},
      {"a\\read-only dir", true, FILE_ATTRIBUTE_READONLY},
      {"a\\read-only dir\\inside.txt", false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
  };
  StageTree(kTree, entries);
  StageTree(kParent + "\\tree2", {{"beside.txt", false, 0}});
  ASSERT_TRUE(stager::WriteFileText(kParent + "\\tree.txt", "beside"));
  ASSERT_NE(Attributes(kTree + "\\a\\b\\c\\d\\deep read-only.txt") & FILE_ATTRIBUTE_READONLY, 0u);
  ASSERT_NE(Attributes(kTree + "\\system.dat") & FILE_ATTRIBUTE_SYSTEM, 0u);

  DeleteDirectoryTree(kTree + GetParam());

  EXPECT_FALSE(Exists(kTree));
  EXPECT_TRUE(Exists(kParent + "\\tree2\\beside.txt"));
  EXPECT_TRUE(Exists(kParent + "\\tree.txt"));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutTrailingBackslash, WholeTree, ::testing::Values("", "\\"));

TEST(DeleteDirectoryTree, AFileHeldOpenStaysWithTheDirectoriesAboveItOnly) {
  StageTree(kTree, {{"a\\b\\held.txt", false, 0},
                    {"a\\b\\sibling.txt", false, 0},
                    {"a\\other.txt", false, 0},
                    {"a\\c\\x.txt", false, 0},
                    {"z\\y.txt", false, 0},
                    {"top.txt", false, 0}});
  removal_test::FileHolder holder;
  ASSERT_TRUE(holder.Hold(kTree + "\\a\\b\\held.txt"));

  DeleteDirectoryTree(kTree);

  EXPECT_TRUE(Exists(kTree + "\\a\\b\\held.txt"));
  for (const char* gone : {"a\\b\\sibling.txt", "a\\other.txt", "a\\c", "z", "top.txt"}) {
    EXPECT_FALSE(Exists(kTree + "\\" + gone)) << gone;
  }
}

// The deepest file's path is 258 characters long: more than a 256-byte buffer holds, within what
// the system accepts.
TEST(DeleteDirectoryTree, PathsLongerThan255CharactersGoWhole) {
  std::string deepest;
  for (int level = 0; deepest.size() < 200; ++level) deepest += std::string(40, static_cast<char>('a' + level)) + "\\";
  const std::string fileName(258 - kTree.size() - 1 - deepest.size(), 'f');
  StageTree(kTree, {{deepest + fileName, false, FILE_ATTRIBUTE_READONLY}});
  ASSERT_EQ((kTree + "\\" + deepest + fileName).size(), 258u);
  ASSERT_TRUE(Exists(kTree + "\\" + deepest + fileName));

  DeleteDirectoryTree(kTree);

  EXPECT_FALSE(Exists(kTree));
}

// ---- Links to elsewhere are never entered. ----

const std::string kOutside = "C:\\outside";

void StageOutsideFolder() {
  StageTree(kOutside, {{"keep.txt", false, 0}, {"keep read-only.txt", false, FILE_ATTRIBUTE_READONLY},
                       {"sub\\keep too.txt", false, 0}});
}

void ExpectOutsideFolderUntouched() {
  for (const char* kept : {"keep.txt", "keep read-only.txt", "sub\\keep too.txt"}) {
    EXPECT_TRUE(Exists(kOutside + "\\" + kept)) << kept;
  }
  EXPECT_NE(Attributes(kOutside + "\\keep read-only.txt") & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(DeleteDirectoryTree, ALinkInsideTheTreeLeavesTheFolderItPointsToUntouched) {
  StageOutsideFolder();
  StageTree(kTree, {{"own.txt", false, 0}, {"sub\\own too.txt", false, 0}});
  ASSERT_TRUE(removal_test::MakeDirectoryLink(kTree + "\\sub\\link", kOutside));

  DeleteDirectoryTree(kTree);

  ExpectOutsideFolderUntouched();
  EXPECT_FALSE(Exists(kTree + "\\own.txt"));
  EXPECT_FALSE(Exists(kTree + "\\sub\\own too.txt"));
}

TEST(DeleteDirectoryTree, ATreeThatIsItselfALinkLeavesItsTargetUntouched) {
  StageOutsideFolder();
  ASSERT_TRUE(stager::MakeDirectories(kParent));
  ASSERT_TRUE(removal_test::MakeDirectoryLink(kTree, kOutside));

  DeleteDirectoryTree(kTree);

  ExpectOutsideFolderUntouched();
}

}  // namespace

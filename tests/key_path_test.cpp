// Key paths as callers write them, opened against the registry of a fresh prefix: locally, through
// a connection by machine name, or refused.

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "regperm/key_path.h"
#include "tests/registry_test_support.h"
#include "tools/stager/system_state.h"

namespace {

struct KeyPathCase {
  std::string path;  // "{computer}" stands for this computer's name, here and below
  LONG status;
  std::string machinePrefix;
  std::string resolvedPath;
  HKEY predefinedHandle;  // the handle expected when it is a predefined root, else null
  std::string openableBelow;  // a key that opens below the result handle
};

std::vector<KeyPathCase> KeyPathCases() {
  const std::string marker = "SOFTWARE\\KarveloKeyPathTest\\Inner Key\\Marker";
  return {
      {"HKLM", 0, "", "HKLM", HKEY_LOCAL_MACHINE, marker},
      {"hklm\\SOFTWARE\\KarveloKeyPathTest\\Inner Key", 0, "", "hklm\\SOFTWARE\\KarveloKeyPathTest\\Inner Key",
       nullptr, "Marker"},
      {"Hkey_Local_Machine\\SOFTWARE\\KarveloKeyPathTest", 0, "", "Hkey_Local_Machine\\SOFTWARE\\KarveloKeyPathTest",
       nullptr, "Inner Key\\Marker"},
      {"hku", 0, "", "hku", HKEY_USERS, ".DEFAULT"},
      {"HKEY_USERS\\.DEFAULT", 0, "", "HKEY_USERS\\.DEFAULT", nullptr, "Software"},
      {"hkcr", 0, "", "hkcr", HKEY_CLASSES_ROOT, "CLSID"},
      {"HKCU\\Software", 0, "", "HKCU\\Software", nullptr, "Wine"},
      // One leading backslash is still this machine; a trailing one leaves the root.
      {"\\HKLM\\SOFTWARE\\KarveloKeyPathTest", 0, "", "HKLM\\SOFTWARE\\KarveloKeyPathTest", nullptr,
       "Inner Key\\Marker"},
      {"HKLM\\", 0, "", "HKLM", HKEY_LOCAL_MACHINE, marker},
      // Two leading backslashes name a machine, this one included, and runs of them count once.
      {"\\\\{computer}\\HKLM\\SOFTWARE\\KarveloKeyPathTest\\Inner Key", 0, "\\\\{computer}",
       "\\\\{computer}\\HKLM\\SOFTWARE\\KarveloKeyPathTest\\Inner Key", nullptr, "Marker"},
      {"\\\\{computer}\\\\\\hklm\\SOFTWARE\\KarveloKeyPathTest", 0, "\\\\{computer}",
       "\\\\{computer}\\hklm\\SOFTWARE\\KarveloKeyPathTest", nullptr, "Inner Key\\Marker"},
      {"\\\\{computer}\\HKU", 0, "\\\\{computer}", "\\\\{computer}\\HKU", nullptr, ".DEFAULT"},
      // Refused before a connection is tried: an unknown machine would otherwise answer 53.
      {"\\\\NoSuchHost\\HKCU", 87, "", "", nullptr, ""},
      {"\\\\NoSuchHost\\HKEY_CURRENT_USER\\Software", 87, "", "", nullptr, ""},
      {"\\\\NoSuchHost\\hkcr", 87, "", "", nullptr, ""},
      {"\\\\NoSuchHost\\HKEY_CLASSES_ROOT\\CLSID", 87, "", "", nullptr, ""},
      {"\\\\NoSuchHost\\HKLM\\SOFTWARE", 53, "", "", nullptr, ""},
      {"\\\\NoSuchHost\\HKU", 53, "", "", nullptr, ""},
      {"HKLMX\\SOFTWARE", 87, "", "", nullptr, ""},
      {"HKL", 87, "", "", nullptr, ""},
      // Three backslashes make "HKLM" the machine and "SOFTWARE" the hive token.
      {"\\\\\\HKLM\\SOFTWARE", 87, "", "", nullptr, ""},
      {"", 87, "", "", nullptr, ""},
      {"\\\\", 87, "", "", nullptr, ""},
      {"\\\\{computer}", 87, "", "", nullptr, ""},
      {"HKLM\\SOFTWARE\\KarveloKeyPathTest\\Missing", ERROR_FILE_NOT_FOUND, "", "", nullptr, ""},
      {"\\\\{computer}\\HKLM\\SOFTWARE\\KarveloKeyPathTest\\Missing", ERROR_FILE_NOT_FOUND, "", "", nullptr, ""},
      // The longest path taken is 511 characters: it gets as far as the connection.
      {PathOfLength("\\\\NoSuchHost\\HKLM\\SOFTWARE", 511), 53, "", "", nullptr, ""},
      {PathOfLength("\\\\NoSuchHost\\HKLM\\SOFTWARE", 512), 87, "", "", nullptr, ""},
  };
}

void PrintTo(const KeyPathCase& keyPathCase, std::ostream* out) { *out << '"' << keyPathCase.path << '"'; }

class KeyPathTable : public ::testing::TestWithParam<KeyPathCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stager::WriteRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\KarveloKeyPathTest\\Inner Key\\Marker",
                                            "Seen", "yes"));
  }

  void ExpectResultHandle(const KeyPathResult& result, const KeyPathCase& expected) {
    ASSERT_TRUE(result.keyHandle.IsValid());
    if (expected.predefinedHandle != nullptr) EXPECT_EQ(result.keyHandle.Get(), expected.predefinedHandle);
    RegKey below;
    EXPECT_EQ(below.Open(result.keyHandle.Get(), expected.openableBelow.c_str(), KEY_READ), ERROR_SUCCESS)
        << expected.openableBelow;
  }
};

TEST_P(KeyPathTable, ResolvesIntoBuffersTheCallerSupplies) {
  const KeyPathCase& expected = GetParam();
  const std::string path = WithComputerName(expected.path);
  KeyPathBuffer machinePrefix{};
  KeyPathBuffer resolvedPath{};
  CopyText("untouched", machinePrefix);
  CopyText("untouched", resolvedPath);
  KeyPathResult result{KeyPathText(machinePrefix), KeyPathText(resolvedPath), RegKey()};

  ASSERT_EQ(OpenKeyPath(path.c_str(), result), expected.status) << path;

  EXPECT_FALSE(result.machinePrefix.IsAllocated());
  EXPECT_FALSE(result.resolvedPath.IsAllocated());
  if (expected.status != ERROR_SUCCESS) {
    EXPECT_STREQ(machinePrefix.data(), "untouched");
    EXPECT_STREQ(resolvedPath.data(), "untouched");
    EXPECT_FALSE(result.keyHandle.IsValid());
    return;
  }
  EXPECT_EQ(machinePrefix.data(), WithComputerName(expected.machinePrefix));
  EXPECT_EQ(resolvedPath.data(), WithComputerName(expected.resolvedPath));
  ExpectResultHandle(result, expected);
}

TEST_P(KeyPathTable, ResolvesIntoBuffersItAllocates) {
  const KeyPathCase& expected = GetParam();
  const std::string path = WithComputerName(expected.path);
  KeyPathResult result;

  ASSERT_EQ(OpenKeyPath(path.c_str(), result), expected.status) << path;

  if (expected.status != ERROR_SUCCESS) {
    EXPECT_FALSE(result.machinePrefix.HasBuffer());
    EXPECT_FALSE(result.resolvedPath.HasBuffer());
    EXPECT_FALSE(result.keyHandle.IsValid());
    return;
  }
  EXPECT_TRUE(result.machinePrefix.IsAllocated());
  EXPECT_TRUE(result.resolvedPath.IsAllocated());
  EXPECT_EQ(result.machinePrefix.c_str(), WithComputerName(expected.machinePrefix));
  EXPECT_EQ(result.resolvedPath.c_str(), WithComputerName(expected.resolvedPath));
  ExpectResultHandle(result, expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyPathTable, ::testing::ValuesIn(KeyPathCases()));

}  // namespace

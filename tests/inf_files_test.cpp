// Finding and deleting the model's INF files and their compiled companions, under Wine, against the
// real registry, INF directory and setup API.

#include <gtest/gtest.h>

#include <windows.h>

#include <shlwapi.h>

#include <atomic>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "removal/removal.h"
#include "tests/removal_test_support.h"
#include "tools/stager/installation.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"

namespace {

using removal_test::Exists;
using stager::DriverClassKeySpec;
using stager::InfFileSpec;

std::string InInfDirectory(const std::string& name) { return stager::FolderPath(stager::Folder::Inf) + "\\" + name; }

void StageInf(const InfFileSpec& inf) {
  std::string error;
  ASSERT_TRUE(stager::StageInfFile(inf, error)) << error;
}

void StageClassKey(const DriverClassKeySpec& key) {
  std::string error;
  ASSERT_TRUE(stager::StageDriverClassKey(key, error)) << error;
}

// ---- The file recorded in the Uninstall key. ----

struct RecordedCase {
  const char* infName;
  const char* companionName;
};

class RecordedInfFile : public ::testing::TestWithParam<RecordedCase> {};

TEST_P(RecordedInfFile, GoesWithTheCompanionNamedByItsLastThreeCharacters) {
  StageInf({GetParam().infName, true, true});
  StageInf({"oem8.inf", true, true});
  std::string error;
  ASSERT_TRUE(stager::StageUninstallKey(InInfDirectory(GetParam().infName), error)) << error;
  ASSERT_TRUE(Exists(InInfDirectory(GetParam().companionName)));

  DeleteRecordedInfFile();

  EXPECT_FALSE(Exists(InInfDirectory(GetParam().infName)));
  EXPECT_FALSE(Exists(InInfDirectory(GetParam().companionName)));
  EXPECT_TRUE(Exists(InInfDirectory("oem8.inf")));
  EXPECT_TRUE(Exists(InInfDirectory("oem8.PNF")));
}

INSTANTIATE_TEST_SUITE_P(ExtensionInEitherCase, RecordedInfFile,
                         ::testing::Values(RecordedCase{"oem7.inf", "oem7.PNF"}, RecordedCase{"OEM7.INF", "OEM7.PNF"}));

TEST(RecordedInfFileValue, StoredWithoutItsTerminatorStillNamesTheFile) {
  StageInf({"oem7.inf", true, true});
  std::string error;
  ASSERT_TRUE(stager::StageUninstallKey("", error)) << error;
  const std::string path = InInfDirectory("oem7.inf");
  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(key, "InfFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                             static_cast<DWORD>(path.size())),
            ERROR_SUCCESS);
  ::RegCloseKey(key);

  DeleteRecordedInfFile();

  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(Exists(InInfDirectory("oem7.PNF")));
}

// ---- The INF files the printer class keys of the driver point to. ----

TEST(CollectDriverInfFiles, ListsTheModelsKeysInReverseEnumerationOrder) {
  StageClassKey({"0000", DRIVER_NAME, std::string("oem3.inf")});
  StageClassKey({"0001", "Generic Thermal 58", std::string("oem4.inf")});
  StageClassKey({"0002", DRIVER_NAME, std::string("oem9.inf")});
  StringList infFiles = {"left over from before"};

  CollectDriverInfFiles(infFiles);

  EXPECT_EQ(infFiles, (StringList{"oem9.inf", "oem3.inf"}));
}

TEST(CollectDriverInfFiles, MatchesTheDriverNameExactlyAndWhole) {
  const char* const lookAlikes[] = {"karvelo qtm-820wide", "KARVELO QTM-820WIDE", "KARVELO QTM-820wide (copy 2)",
                                    "KARVELO QTM-820wide ", "KARVELO QTM-820wid", " KARVELO QTM-820wide"};
  int subkey = 0;
  for (const char* description : lookAlikes) {
    StageClassKey({"000" + std::to_string(subkey++), description, "oem" + std::to_string(subkey) + ".inf"});
  }
  StageClassKey({"0010", DRIVER_NAME, std::string("oem10.inf")});
  StringList infFiles;

  CollectDriverInfFiles(infFiles);

  EXPECT_EQ(infFiles, StringList{"oem10.inf"});
}

// A class key deleted between its opening and the end of its walk fails every index from then on
// with another error than "no more items"; the walk must still end. The key is made and deleted
// over and over while the collection runs over and over, so that deletions land inside walks.
struct CollectionLoop {
  std::atomic<bool> stop{false};
  std::atomic<int> collections{0};
};

DWORD WINAPI CollectUntilStopped(void* parameter) {
  auto* loop = static_cast<CollectionLoop*>(parameter);
  while (!loop->stop) {
    StringList infFiles;
    CollectDriverInfFiles(infFiles);
    ++loop->collections;
  }
  return 0;
}

TEST(CollectDriverInfFiles, EndsWhenTheClassKeyIsDeletedWhileItIsWalked) {
  CollectionLoop loop;
  const HANDLE collector = ::CreateThread(nullptr, 0, CollectUntilStopped, &loop, 0, nullptr);
  ASSERT_NE(collector, nullptr);
  const DWORD end = ::GetTickCount() + 3000;
  while (::GetTickCount() < end) {
    StageClassKey({"0000", DRIVER_NAME, std::string("oem3.inf")});
    (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, stager::kPrinterClassKey);
  }
  loop.stop = true;

  EXPECT_EQ(::WaitForSingleObject(collector, 10000), WAIT_OBJECT_0) << "a collection never ended";
  EXPECT_GT(loop.collections, 100);
  ::CloseHandle(collector);
}

TEST(DeleteCollectedInfFiles, DeletesEachEntryAndItsCompanionFromTheInfDirectory) {
  for (const char* name : {"oem9.inf", "oem3.inf", "oem4.inf"}) StageInf({name, true, true});

  DeleteCollectedInfFiles({"oem9.inf", "oem3.inf"});

  for (const char* gone : {"oem9.inf", "oem9.PNF", "oem3.inf", "oem3.PNF"}) {
    EXPECT_FALSE(Exists(InInfDirectory(gone))) << gone;
  }
  EXPECT_TRUE(Exists(InInfDirectory("oem4.inf")));
  EXPECT_TRUE(Exists(InInfDirectory("oem4.PNF")));
}

TEST(DeleteCollectedInfFiles, AnEntryWithItsExtensionInCapitalsKeepsItsCompanion) {
  StageInf({"OEM7.INF", true, true});

  DeleteCollectedInfFiles({"OEM7.INF"});

  EXPECT_FALSE(Exists(InInfDirectory("OEM7.INF")));
  EXPECT_TRUE(Exists(InInfDirectory("OEM7.PNF")));
}

// A file name that makes the INF path longer than 255 characters is used whole; cut to 255 it would
// name another file, staged here to see that it is not touched.
TEST(DeleteCollectedInfFiles, PathsLongerThan255CharactersAreNotCut) {
  const std::string stem = "oem" + std::string(258 - InInfDirectory("").size() - 7, 'x');
  const std::string longName = stem + ".inf";
  ASSERT_EQ(InInfDirectory(longName).size(), 258u);
  StageInf({longName, true, true});
  const std::string cut = InInfDirectory(longName).substr(0, 255);
  ASSERT_TRUE(stager::WriteFileText(cut, "a file of another name"));
  StageClassKey({"0000", DRIVER_NAME, longName});

  StringList infFiles;
  CollectDriverInfFiles(infFiles);
  DeleteCollectedInfFiles(infFiles);

  EXPECT_EQ(infFiles, StringList{longName});
  EXPECT_FALSE(Exists(InInfDirectory(longName)));
  EXPECT_FALSE(Exists(InInfDirectory(stem + ".PNF")));
  EXPECT_TRUE(Exists(cut));
}

// ---- The scan of the oem INF files for the model's line. ----

struct ScannedInf {
  InfFileSpec inf;
  const char* companionName;
  bool infGoes;
  bool companionGoes;
};

TEST(DeleteOemInfFiles, DeletesOnlyOemInfsThatListTheModel) {
  const ScannedInf cases[] = {
      {{"oem5.inf", true, true}, "oem5.PNF", true, true},
      {{"oem15.INF", true, true}, "oem15.PNF", true, false},  // no ".inf" to turn into ".PNF"
      {{"OEM6.inf", true, true}, "OEM6.PNF", false, false},   // the prefix is compared in its case
      {{"oem16.inf", false, true}, "oem16.PNF", false, false},
      {{"karvelo.inf", true, true}, "karvelo.PNF", false, false},
  };
  for (const ScannedInf& scanned : cases) StageInf(scanned.inf);

  DeleteOemInfFiles();

  for (const ScannedInf& scanned : cases) {
    EXPECT_EQ(Exists(InInfDirectory(scanned.inf.name)), !scanned.infGoes) << scanned.inf.name;
    EXPECT_EQ(Exists(InInfDirectory(scanned.companionName)), !scanned.companionGoes) << scanned.companionName;
  }
}

// Only Windows NT-style INFs are examined: the model's line in any other file does not count.
TEST(DeleteOemInfFiles, PassesOverOemFilesThatAreNotWindowsNtStyleInfs) {
  const std::string modelSection = "[KARVELO]\r\n\"KARVELO QTM-820wide\" = QTM820WE.GPD\r\n";
  const struct {
    const char* name;
    std::string text;
    bool goes;
  } cases[] = {
      {"oem21.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n" + modelSection, true},
      {"oem22.inf", "[Version]\r\nSignature=\"$Chicago$\"\r\n" + modelSection, true},
      {"oem23.inf", modelSection, false},  // no [Version] section
      {"oem24.inf", "[Version]\r\nSignature=\"$Unknown$\"\r\n" + modelSection, false},
      {"oem25.inf", "\x01\x02\xff\xfe garbage", false},
      {"oem26.inf", "", false},
  };
  for (const auto& file : cases) ASSERT_TRUE(stager::WriteFileText(InInfDirectory(file.name), file.text)) << file.name;
  ASSERT_TRUE(stager::MakeDirectories(InInfDirectory("oem27.inf")));

  DeleteOemInfFiles();

  for (const auto& file : cases) EXPECT_EQ(Exists(InInfDirectory(file.name)), !file.goes) << file.name;
  EXPECT_TRUE(stager::DirectoryExists(InInfDirectory("oem27.inf")));
}

}  // namespace

// The INF cleanup deletes nothing outside the Windows INF directory, and uninstalls each published
// INF of the model through the system before deleting it: under Wine, against the real registry
// and files.

#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

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

std::string InInfDirectory(const std::string& name) { return stager::FolderPath(stager::Folder::Inf) + "\\" + name; }

void StageFileAt(const std::string& path) {
  ASSERT_TRUE(stager::MakeDirectories(path.substr(0, path.find_last_of('\\'))));
  ASSERT_TRUE(stager::WriteFileText(path, "not the model's INF"));
}

void StageInf(const std::string& name) {
  std::string error;
  ASSERT_TRUE(stager::StageInfFile({name, true, true}, error)) << error;
}

TEST(InfPathValues, ThatAreNotBareFileNamesDeleteNothingWhileBareNamesStillWork) {
  const std::string windows = stager::FolderPath(stager::Folder::Windows);
  struct Value {
    std::string infPath;
    std::vector<std::string> victims;  // what the value would reach when joined to the INF directory
  };
  const Value hostile[] = {
      {"..\\system32\\victim.dll", {windows + "\\system32\\victim.dll"}},
      {"../system32/victim.dll", {windows + "\\system32\\victim.dll"}},
      {"C:\\elsewhere\\oem1.inf", {"C:\\elsewhere\\oem1.inf", "C:\\elsewhere\\oem1.PNF"}},
      {"sub\\oem2.inf", {InInfDirectory("sub\\oem2.inf"), InInfDirectory("sub\\oem2.PNF")}},
      {"C:oem3.inf", {"C:\\oem3.inf", "C:\\oem3.PNF"}},
  };
  int subkey = 0;
  for (const Value& value : hostile) {
    for (const std::string& victim : value.victims) StageFileAt(victim);
    std::string error;
    ASSERT_TRUE(stager::StageDriverClassKey({"000" + std::to_string(subkey++), DRIVER_NAME, value.infPath}, error));
  }
  std::string error;
  ASSERT_TRUE(stager::StageDriverClassKey({"0009", DRIVER_NAME, std::string("oem4.inf")}, error)) << error;
  StageInf("oem4.inf");
  ASSERT_TRUE(::SetCurrentDirectoryA("C:\\"));

  StringList infFiles;
  CollectDriverInfFiles(infFiles);
  DeleteCollectedInfFiles(infFiles);

  for (const Value& value : hostile) {
    for (const std::string& victim : value.victims) EXPECT_TRUE(Exists(victim)) << value.infPath << ": " << victim;
  }
  EXPECT_FALSE(Exists(InInfDirectory("oem4.inf")));
  EXPECT_FALSE(Exists(InInfDirectory("oem4.PNF")));
}

struct RecordedValue {
  const char* description;
  std::string value;     // the InfFile value
  std::string file;      // where the file it names lies
  std::string companion;
  bool deleted;
};

class RecordedInfFileLocation : public ::testing::TestWithParam<RecordedValue> {};

TEST_P(RecordedInfFileLocation, IsDeletedOnlyWhenDirectlyInTheInfDirectory) {
  StageFileAt(GetParam().file);
  StageFileAt(GetParam().companion);
  std::string error;
  ASSERT_TRUE(stager::StageUninstallKey(GetParam().value, error)) << error;
  ASSERT_TRUE(stager::MakeDirectories("C:\\elsewhere"));
  ASSERT_TRUE(::SetCurrentDirectoryA("C:\\elsewhere"));

  DeleteRecordedInfFile();

  EXPECT_EQ(Exists(GetParam().file), !GetParam().deleted);
  EXPECT_EQ(Exists(GetParam().companion), !GetParam().deleted);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::vector<RecordedValue> RecordedValues() {
  const std::string inf = stager::FolderPath(stager::Folder::Inf);
  const std::string windows = stager::FolderPath(stager::Folder::Windows);
  return {
      {"elsewhere", "C:\\elsewhere\\oem1.inf", "C:\\elsewhere\\oem1.inf", "C:\\elsewhere\\oem1.PNF", false},
      {"a subfolder", inf + "\\sub\\oem2.inf", inf + "\\sub\\oem2.inf", inf + "\\sub\\oem2.PNF", false},
      {"out through ..", inf + "\\..\\system32\\victim.inf", windows + "\\system32\\victim.inf",
       windows + "\\system32\\victim.PNF", false},
      {"no folder", "oem4.inf", "C:\\elsewhere\\oem4.inf", "C:\\elsewhere\\oem4.PNF", false},
      {"the INF directory", inf + "\\oem7.inf", inf + "\\oem7.inf", inf + "\\oem7.PNF", true},
      {"the INF directory in capitals", Upper(inf) + "\\oem8.inf", inf + "\\oem8.inf", inf + "\\oem8.PNF", true},
  };
}

INSTANTIATE_TEST_SUITE_P(Values, RecordedInfFileLocation, ::testing::ValuesIn(RecordedValues()));

TEST(RecordedInfFileName, ShorterThanAnExtensionHasNoCompanionOutsideTheInfDirectory) {
  const std::string inf = stager::FolderPath(stager::Folder::Inf);
  StageFileAt(inf + "\\ab");
  const std::string outside = inf + "PNF";  // the value with its last three characters, "\\ab", replaced
  StageFileAt(outside);
  std::string error;
  ASSERT_TRUE(stager::StageUninstallKey(inf + "\\ab", error)) << error;

  DeleteRecordedInfFile();

  EXPECT_FALSE(Exists(inf + "\\ab"));
  EXPECT_TRUE(Exists(outside)) << outside;
}

// Wine removes the INF when asked to uninstall it, so whether the uninstall came first is seen by
// a stand-in that notes, before passing the call on, whether the INF was still there.
struct HandedOver {
  std::string name;
  DWORD flags;
  bool infStillThere;
};
std::vector<HandedOver> g_handedOver;

BOOL WINAPI NoteAndUninstall(PCSTR name, DWORD flags, PVOID reserved) {
  g_handedOver.push_back({name, flags, Exists(InInfDirectory(name))});
  return ::SetupUninstallOEMInfA(name, flags, reserved);
}

// Calls that note every INF handed over to be uninstalled, from now on.
OemInfCalls NotingFromNow() {
  g_handedOver.clear();
  OemInfCalls noting;
  noting.uninstallOemInf = NoteAndUninstall;
  return noting;
}

TEST(PublishedInfs, AreUninstalledThroughTheSystemBeforeTheyAreDeleted) {
  for (const char* name : {"oem7.inf", "oem9.inf", "OEM10.INF", "karvelo.inf", "oem5.inf"}) StageInf(name);
  std::string error;
  ASSERT_TRUE(stager::StageUninstallKey(InInfDirectory("oem7.inf"), error)) << error;
  const OemInfCalls noting = NotingFromNow();

  DeleteRecordedInfFile(noting);
  DeleteCollectedInfFiles({"oem9.inf", "OEM10.INF", "karvelo.inf"}, noting);
  DeleteOemInfFiles(noting);

  const std::vector<std::string> expected = {"oem7.inf", "oem9.inf", "OEM10.INF", "oem5.inf"};
  ASSERT_EQ(g_handedOver.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(g_handedOver[i].name, expected[i]);
    EXPECT_EQ(g_handedOver[i].flags, static_cast<DWORD>(SUOI_FORCEDELETE)) << expected[i];
    EXPECT_TRUE(g_handedOver[i].infStillThere) << expected[i] << " was deleted before it was uninstalled";
  }
  for (const char* gone : {"oem7.inf", "oem9.inf", "OEM10.INF", "karvelo.inf", "oem5.inf"}) {
    EXPECT_FALSE(Exists(InInfDirectory(gone))) << gone;
  }
}

// Windows gives a freed oem name to the next package it publishes, so the name on record, or in a
// class key, may by now be another product's INF, whose package its devices may still use.
TEST(PublishedInfs, OfAnotherProductAreDeletedAsRecordedButNotUninstalled) {
  for (const char* name : {"oem7.inf", "oem9.inf"}) {
    std::string error;
    ASSERT_TRUE(stager::StageInfFile({name, false, true}, error)) << error;
  }
  std::string error;
  ASSERT_TRUE(stager::StageUninstallKey(InInfDirectory("oem7.inf"), error)) << error;
  const OemInfCalls noting = NotingFromNow();

  DeleteRecordedInfFile(noting);
  DeleteCollectedInfFiles({"oem9.inf"}, noting);

  EXPECT_EQ(g_handedOver.size(), 0u);
  for (const char* gone : {"oem7.inf", "oem7.PNF", "oem9.inf", "oem9.PNF"}) EXPECT_FALSE(Exists(InInfDirectory(gone))) << gone;
}

}  // namespace

// An uninstaller runs as administrator, often from a download folder: nothing planted beside it or
// in its current folder may be loaded or run. Wine is told to prefer native DLLs (its DLL
// overrides, in the prefix's registry, which every new process reads), so that it takes a DLL
// found beside a program the way Windows' own search order would.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "res/resource.h"
#include "tests/e2e_support.h"
#include "tests/planted/markers.h"
#include "tools/robot/uninstall_session.h"
#include "tools/stager/presets.h"
#include "tools/stager/system_state.h"
#include "win/dll_search.h"

namespace {

constexpr char kProgramFolder[] = "C:\\Users\\Public\\Downloads\\qtm";
constexpr char kCurrentFolder[] = "C:\\Users\\Public\\Documents";

// DLLs that a program here would find under these names beside it before the system's. Not
// version.dll: Wine's own user32 and setupapi import it, and Wine resolves the imports of its
// system DLLs through the program's search order before any code of the program runs (Windows
// takes the dependencies of its known DLLs from the system directory).
const std::vector<std::string> kPlantedLibraries = {"winspool.drv", "comctl32.dll", "uxtheme.dll",
                                                    "dwmapi.dll"};

void PlantIn(const std::string& folder) {
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
  for (const std::string& library : kPlantedLibraries) {
    ASSERT_TRUE(::CopyFileA((OwnFolder() + "planted_library.dll").c_str(), (folder + "\\" + library).c_str(), FALSE))
        << library;
  }
  ASSERT_TRUE(::CopyFileA((OwnFolder() + "planted_program.exe").c_str(), (folder + "\\net.exe").c_str(), FALSE));
}

class Planting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryA("C:\\Users\\Public\\Downloads", nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    PlantIn(kProgramFolder);
    PlantIn(kCurrentFolder);
    for (const std::string& library : kPlantedLibraries) {
      // Overrides name a .dll by its stem, any other DLL with its extension.
      const size_t dot = library.rfind(".dll");
      const std::string name = dot == std::string::npos ? library : library.substr(0, dot);
      ASSERT_TRUE(stager::WriteRegistryString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", name,
                                              "native,builtin"));
    }
  }

  // Copies a program of ours into the planted folder and gives its command line there.
  std::string Planted(const std::string& program) {
    const std::string copy = std::string(kProgramFolder) + "\\" + program;
    EXPECT_TRUE(::CopyFileA((OwnFolder() + program).c_str(), copy.c_str(), FALSE)) << program;
    return "\"" + copy + "\"";
  }
};

TEST_F(Planting, APlainImporterWouldLoadThePlantedDlls) {
  LaunchedProgram program;
  ASSERT_TRUE(program.Start(Planted("naive_importer.exe"), kCurrentFolder));
  ASSERT_TRUE(program.WaitForExit(120000).has_value());
  EXPECT_FALSE(PlantedMarkers().empty()) << "the plants are not taken by a careless program either";
}

TEST_F(Planting, TheUninstallerLoadsNoPlantedDll) {
  stager::Installation installation;
  installation.drivers = {stager::ModelDriver()};
  installation.printers = {{"Front Desk", DRIVER_NAME, true}};
  ASSERT_TRUE(StageForTest(installation));

  robot::UninstallSession session;
  ASSERT_TRUE(session.Start(Planted("qtm820wide_uninstall.exe"), 120000, kCurrentFolder));
  ASSERT_TRUE(session.WaitForScan(120000));
  ASSERT_NE(session.Dialog(), nullptr);
  EXPECT_EQ(session.Dialog()->ListLines(IDC_PRINTER_LIST), std::vector<std::string>{"Front Desk"})
      << "the spooler answered";
  ASSERT_TRUE(session.Dialog()->PressButton(IDCANCEL));
  EXPECT_EQ(session.Program().WaitForExit(120000), std::optional<DWORD>(0));
  EXPECT_EQ(PlantedMarkers(), std::vector<std::string>{});
}

// The whole sequence runs by itself with the driver and no printer, the spooler's restart
// included, which starts no program.
TEST_F(Planting, TheUninstallersWholeRunLoadsAndRunsNothingPlanted) {
  ASSERT_TRUE(StageForTest(stager::DriverOnlyInstallation()));

  robot::UninstallSession session;
  ASSERT_TRUE(session.Start(Planted("qtm820wide_uninstall.exe"), 120000, kCurrentFolder));
  const robot::RunRecord record = session.RunToEnd(robot::AnswerQuestionsWith(IDNO), 90000);

  ASSERT_EQ(record.messageBoxes.size(), 1u) << "the run reached its restart question";
  EXPECT_EQ(record.exitCode, std::optional<DWORD>(0));
  EXPECT_FALSE(ModelDriverInstalled());
  EXPECT_EQ(PlantedMarkers(), std::vector<std::string>{});
}

// Wine too follows the restriction: a DLL named bare by a later load is looked for in the system
// directory alone, and the one planted beside this test program stays out.
TEST(DllSearch, ABareNameLoadedAfterTheRestrictionIsNotTakenFromBesideTheProgram) {
  ASSERT_NE(::GetFileAttributesA((OwnFolder() + "planted_library.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  RestrictDllSearchToSystem();
  EXPECT_EQ(::LoadLibraryA("planted_library.dll"), nullptr);
}

}  // namespace

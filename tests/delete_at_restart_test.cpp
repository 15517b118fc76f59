// Files held in use when the package goes are deleted at the next restart: under Wine, scheduled
// for real and carried out by Wine's own restart.

#include <gtest/gtest.h>

#include <windows.h>

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
using removal_test::Lower;
using removal_test::PendingDeletions;
using stager::FileSpec;

TEST(FilesInUse, GoAtTheNextRestartWithTheDataDirectoriesTheyKept) {
  stager::Installation package;
  package.files = stager::ModelDriverFiles();
  const FileSpec missing{stager::Folder::Windows, "UI820w.INI"};
  package.files.erase(package.files.end() - 1);
  package.dataDirectory = {{"settings.ini", false, FILE_ATTRIBUTE_READONLY},
                           {"logos\\header.bmp", false, 0},
                           {"logos\\archive\\footer.bmp", false, 0},
                           {"fonts\\receipt.fnt", false, 0}};
  std::string error;
  ASSERT_TRUE(stager::Stage(package, error)) << error;
  ASSERT_FALSE(Exists(stager::FullPath(missing)));
  const std::string heldDriverFile = stager::FullPath({stager::Folder::PrinterDriver, "3\\QTM820wE.dll"});
  const std::string data = stager::DataDirectoryPath();
  const std::string heldDataFile = data + "\\logos\\archive\\footer.bmp";

  {
    removal_test::FileHolder driverFileHolder;
    removal_test::FileHolder dataFileHolder;
    ASSERT_TRUE(driverFileHolder.Hold(heldDriverFile));
    ASSERT_TRUE(dataFileHolder.Hold(heldDataFile));

    RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER);
    DeleteDirectoryTree(data);

    EXPECT_EQ(PendingDeletions(),
              (std::vector<std::string>{Lower(heldDriverFile), Lower(heldDataFile), Lower(data + "\\logos\\archive"),
                                        Lower(data + "\\logos"), Lower(data)}));
    EXPECT_TRUE(Exists(heldDriverFile));
    EXPECT_TRUE(Exists(heldDataFile));
    EXPECT_FALSE(Exists(data + "\\fonts"));
  }

  const std::string wineboot = stager::FolderPath(stager::Folder::System) + "\\wineboot.exe";
  ASSERT_EQ(removal_test::RunToExit("\"" + wineboot + "\" -r", std::string(), 120000), std::optional<DWORD>(0));

  EXPECT_FALSE(Exists(heldDriverFile));
  EXPECT_FALSE(Exists(heldDataFile));
  EXPECT_FALSE(Exists(data));
}

}  // namespace

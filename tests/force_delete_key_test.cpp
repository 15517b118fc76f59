// Forced deletion of keys whose access list stands in the way, below the local HKEY_LOCAL_MACHINE.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "regperm/regperm.h"
#include "tests/registry_test_support.h"
#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"

namespace {

const std::string kParent = "SOFTWARE\\KarveloForceTest";

void StageKey(const std::string& key, stager::KeyLock lock, stager::KeyLock instanceLock = stager::KeyLock::None) {
  std::string error;
  ASSERT_TRUE(stager::StageDeviceKey({key, lock, instanceLock}, error)) << error;
}

std::string OwnMachinePath(const std::string& key) { return WithComputerName("\\\\{computer}\\HKLM\\" + key); }

TEST(ForceDeleteKey, DeletesAKeyWhoseDaclLetsNoAdministratorDeleteIt) {
  const std::string key = kParent + "\\Locked";
  StageKey(key, stager::KeyLock::UntilGranted);
  RegKey forDeletion;
  ASSERT_EQ(forDeletion.Open(HKEY_LOCAL_MACHINE, key.c_str(), DELETE), ERROR_ACCESS_DENIED);

  EXPECT_EQ(ForceDeleteKey(OwnMachinePath(key).c_str(), key.c_str()), ERROR_SUCCESS);

  EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_TRUE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, kParent));
}

// A sealed subkey stays whatever its parent grants, so the parent stays too.
TEST(ForceDeleteKey, PutsThePreviousDaclBackOnAKeyThatStillCannotBeDeleted) {
  const std::string key = kParent + "\\Stuck";
  StageKey(key, stager::KeyLock::UntilGranted, stager::KeyLock::Sealed);
  const std::string before = DaclEntries(HKEY_LOCAL_MACHINE, key);
  ASSERT_EQ(before.find(";;;WD)"), std::string::npos) << before;

  EXPECT_EQ(ForceDeleteKey(OwnMachinePath(key).c_str(), key.c_str()), ERROR_ACCESS_DENIED);

  ASSERT_TRUE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_EQ(DaclEntries(HKEY_LOCAL_MACHINE, key), before);
}

TEST(ForceDeleteKey, StillDeletesTheKeyWhenItsPathCannotBeResolved) {
  const std::string key = kParent + "\\Unresolved";
  const std::string unresolvablePaths[] = {
      "\\\\\\HKLM\\" + key,  // the path of a computer whose name could not be read
      "\\\\NoSuchHost\\HKLM\\" + key,
      "HKLMX\\" + key,
      "",
  };
  for (const std::string& path : unresolvablePaths) {
    SCOPED_TRACE(path);
    StageKey(key, stager::KeyLock::None);

    EXPECT_EQ(ForceDeleteKey(path.c_str(), key.c_str()), ERROR_SUCCESS);

    EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, key));
  }
}

TEST(ForceDeleteKey, DeletesBelowTheLocalMachineKeyWhateverThePathNames) {
  const std::string key = kParent + "\\Twin";
  StageKey(key, stager::KeyLock::None);
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_CURRENT_USER, key, "Kept", "yes"));

  EXPECT_EQ(ForceDeleteKey(("HKCU\\" + key).c_str(), key.c_str()), ERROR_SUCCESS);

  EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_TRUE(stager::RegistryKeyExists(HKEY_CURRENT_USER, key));
}

TEST(ForceDeleteKey, ReportsTheDeletionsErrorForAMissingKey) {
  const std::string key = kParent + "\\Missing";
  EXPECT_EQ(ForceDeleteKey(OwnMachinePath(key).c_str(), key.c_str()), ERROR_FILE_NOT_FOUND);
}

}  // namespace

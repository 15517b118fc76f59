// The model's device enumeration keys below USBPRINT and LPTENUM, removed with everything below
// them, while other makers' keys beside them stay.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "removal/removal.h"
#include "tests/registry_test_support.h"
#include "tools/stager/installation.h"
#include "tools/stager/system_state.h"

namespace {

const std::string kUsbprint = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT";
const std::string kLptenum = "SYSTEM\\CurrentControlSet\\Enum\\LPTENUM";
const std::vector<std::string> kOtherMakersKeys = {kUsbprint + "\\OTHERMAKERTP-80", kLptenum + "\\OTHERMAKERTP-80"};

void StageDeviceKeys(const std::vector<stager::DeviceKeySpec>& keys) {
  for (const stager::DeviceKeySpec& key : keys) {
    std::string error;
    ASSERT_TRUE(stager::StageDeviceKey(key, error)) << error;
  }
}

void StageOtherMakersKeys() {
  for (const std::string& key : kOtherMakersKeys) StageDeviceKeys({{key}});
}

void ExpectOtherMakersKeysKept() {
  for (const std::string& key : kOtherMakersKeys) EXPECT_TRUE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, key)) << key;
}

// A key's last write time moves whenever a subkey of it is deleted.
ULONGLONG LastWriteTime(const std::string& key) {
  RegKey opened;
  FILETIME written{};
  if (opened.Open(HKEY_LOCAL_MACHINE, key.c_str(), KEY_READ) != ERROR_SUCCESS ||
      ::RegQueryInfoKeyA(opened.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, &written) != ERROR_SUCCESS) {
    return 0;
  }
  return (static_cast<ULONGLONG>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

TEST(EnumerationKeys, BothGoUsbprintFirstTheLockedOneIncluded) {
  const std::vector<stager::DeviceKeySpec> modelKeys = stager::ModelEnumerationKeys();
  StageOtherMakersKeys();
  StageDeviceKeys(modelKeys);
  RegKey forDeletion;
  ASSERT_EQ(forDeletion.Open(HKEY_LOCAL_MACHINE, (kLptenum + "\\KARVELOQTM-820wide").c_str(), DELETE),
            ERROR_ACCESS_DENIED);

  RemoveEnumerationKeys();

  for (const stager::DeviceKeySpec& key : modelKeys) {
    EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, key.key)) << key.key;
  }
  ExpectOtherMakersKeysKept();
  EXPECT_LT(LastWriteTime(kUsbprint), LastWriteTime(kLptenum));
}

TEST(EnumerationKeys, TheLptenumKeyGoesWhenThereIsNoUsbprintKey) {
  StageOtherMakersKeys();
  StageDeviceKeys({stager::ModelEnumerationKeys().back()});

  RemoveEnumerationKeys();

  EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, kLptenum + "\\KARVELOQTM-820wide"));
  ExpectOtherMakersKeysKept();
}

TEST(EnumerationKeys, WithoutEitherKeyNothingChanges) {
  StageOtherMakersKeys();
  const std::string usbprintDacl = DaclEntries(HKEY_LOCAL_MACHINE, kUsbprint);
  const std::string lptenumDacl = DaclEntries(HKEY_LOCAL_MACHINE, kLptenum);

  RemoveEnumerationKeys();

  ExpectOtherMakersKeysKept();
  EXPECT_EQ(DaclEntries(HKEY_LOCAL_MACHINE, kUsbprint), usbprintDacl);
  EXPECT_EQ(DaclEntries(HKEY_LOCAL_MACHINE, kLptenum), lptenumDacl);
}

}  // namespace

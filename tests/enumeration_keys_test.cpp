// The model's device enumeration keys below USBPRINT and LPTENUM, removed with everything below
// them, their printer nodes through the device installer first, while other makers' keys and
// nodes beside them stay.

#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

#include <optional>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "removal/enumeration_key_removal.h"
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

// ---- The printer nodes below the enumeration keys ----

using stager::DeviceNodeSpec;
using stager::DriverKeySpec;

struct NodeCase {
  DeviceNodeSpec node;
  bool removed;
};

const std::string kUsbprintModel = DeviceIdOf(USBPRINT_ENUM_KEY);

// The model's printer at a second USB port, and nodes whose instance IDs only begin like the
// model's, or carry its device ID under another enumerator.
const DeviceNodeSpec kSecondPort = {kUsbprintModel + "\\7&2A1B3C4D&0&USB005", {kUsbprintModel + "6EA0"},
                                    DriverKeySpec{DRIVER_NAME, "oem12.inf"}};
const DeviceNodeSpec kLongerDeviceId = {kUsbprintModel + "foo\\7&2A1B3C4D&0&USB003", {kUsbprintModel + "foo6EA0"},
                                        DriverKeySpec{DRIVER_NAME, "oem12.inf"}};
const DeviceNodeSpec kOtherEnumerator = {"ROOT\\KARVELOQTM-820wide\\0000", {"KARVELOQTM-820wide6EA0"},
                                         DriverKeySpec{DRIVER_NAME, "oem12.inf"}};

void StageNodes(const std::vector<NodeCase>& cases) {
  for (const NodeCase& node : cases) {
    std::string error;
    ASSERT_TRUE(stager::StageDeviceNode(node.node, error)) << error;
  }
}

std::vector<std::string> DriverKeys(const std::vector<NodeCase>& cases) {
  std::vector<std::string> keys;
  for (const NodeCase& node : cases) keys.push_back(stager::DeviceDriverKey(node.node.instanceId).value_or(""));
  return keys;
}

void ExpectRemovedExactly(const std::vector<NodeCase>& cases, const std::vector<std::string>& driverKeys) {
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string& id = cases[i].node.instanceId;
    EXPECT_EQ(stager::DeviceNodeExists(id), !cases[i].removed) << id;
    EXPECT_EQ(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, driverKeys[i]), !cases[i].removed) << id << ": " << driverKeys[i];
  }
}

// Deleting the enumeration keys alone would leave the nodes' driver keys behind, and on Windows
// could not even delete the nodes' keys.
TEST(EnumerationKeys, TheModelsPrinterNodesGoWithTheirDriverKeysAndNoOtherNodeDoes) {
  std::vector<NodeCase> cases;
  for (const DeviceNodeSpec& node : stager::ModelPrinterNodes("oem12.inf")) cases.push_back({node, true});
  cases.push_back({kSecondPort, true});
  cases.push_back({stager::SiblingPrinterNode("oem5.inf"), false});
  cases.push_back({kLongerDeviceId, false});
  cases.push_back({kOtherEnumerator, false});
  StageNodes(cases);
  StageOtherMakersKeys();
  const std::vector<std::string> driverKeys = DriverKeys(cases);
  for (const std::string& key : driverKeys) ASSERT_FALSE(key.empty());

  RemoveEnumerationKeys();

  ExpectRemovedExactly(cases, driverKeys);
  EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, USBPRINT_ENUM_KEY));
  EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, LPTENUM_ENUM_KEY));
  ExpectOtherMakersKeysKept();
}

// Under Wine the device installer answers success for a node whose key it cannot delete; this
// stand-in passes every removal on and reports such a node as refused, as Windows does.
int g_refusedRemovals = 0;

BOOL WINAPI RemoveReportingWhatStays(HDEVINFO devices, PSP_DEVINFO_DATA device) {
  char id[MAX_PATH] = {};
  if (!::SetupDiGetDeviceInstanceIdA(devices, device, id, sizeof(id), nullptr)) return FALSE;
  if (!::SetupDiRemoveDevice(devices, device)) return FALSE;
  if (!stager::DeviceNodeExists(id)) return TRUE;
  ++g_refusedRemovals;
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

// The refused node comes first in its key; the walk goes on past it, the LPTENUM node is still
// removed, and both keys are still force-deleted: the LPTENUM key, which administrators may not
// delete until granted, goes whole, and of the USBPRINT key a leftover instance that the device
// installer does not know, listed before the refused node, goes.
TEST(EnumerationKeys, ANodeTheDeviceInstallerCannotRemoveLeavesTheOthersAndTheKeysStillGoing) {
  const std::vector<DeviceNodeSpec> modelNodes = stager::ModelPrinterNodes("oem12.inf");
  const std::vector<NodeCase> cases = {{modelNodes[0], false}, {kSecondPort, true}, {modelNodes[1], true}};
  StageNodes(cases);
  const std::vector<std::string> driverKeys = DriverKeys(cases);
  for (const std::string& key : driverKeys) ASSERT_FALSE(key.empty());
  const std::string leftover = std::string(USBPRINT_ENUM_KEY) + "\\7&2A1B3C4D&0&USB000";
  ASSERT_TRUE(stager::WriteRegistryString(HKEY_LOCAL_MACHINE, leftover, "DeviceDesc", DRIVER_NAME));
  std::string error;
  ASSERT_TRUE(stager::LockKey(std::string(DEVICE_ENUM_ROOT) + modelNodes[0].instanceId, stager::KeyLock::Sealed, error))
      << error;
  ASSERT_TRUE(stager::LockKey(LPTENUM_ENUM_KEY, stager::KeyLock::UntilGranted, error)) << error;
  g_refusedRemovals = 0;

  RemoveEnumerationKeysWith(&RemoveReportingWhatStays);

  EXPECT_EQ(g_refusedRemovals, 1);
  ExpectRemovedExactly(cases, driverKeys);
  EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, leftover));
  EXPECT_FALSE(stager::RegistryKeyExists(HKEY_LOCAL_MACHINE, LPTENUM_ENUM_KEY));
}

}  // namespace

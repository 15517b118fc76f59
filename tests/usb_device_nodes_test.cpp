// The model's USB device nodes, as the device installer keeps them, removed by hardware ID. No
// device is attached to any staged node: every one of them is a node of an unplugged device.

#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

#include <map>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "removal/device_list_walk.h"
#include "removal/removal.h"
#include "tools/stager/installation.h"
#include "win/scoped_setup.h"

namespace {

struct DeviceCase {
  stager::DeviceNodeSpec device;
  bool removed;
};

const DeviceCase kNoHardwareId = {{"USB\\VID_2E5B&PID_0017\\KQ0000A", {}}, false};
const DeviceCase kRevisionSuffix = {
    {"USB\\VID_2E5B&PID_0017\\KQ0001", {"USB\\Vid_2E5B&Pid_0017&Rev_0100", "USB\\Vid_2E5B&Pid_0017"}}, true};
const DeviceCase kOversizedList = {
    {"USB\\VID_2E5B&PID_0017\\KQ0002",
     {"USB\\Vid_2E5B&Pid_0017&Rev_0100&MI_00", "USB\\Vid_2E5B&Pid_0017&Rev_0100", "USB\\Vid_2E5B&Pid_0017&MI_00",
      "USB\\Vid_2E5B&Pid_0017"}},
    false};
const DeviceCase kLowerCase = {{"USB\\VID_2E5B&PID_0017\\KQ0003", {"usb\\vid_2e5b&pid_0017"}}, true};
const DeviceCase kNeighbourProduct = {
    {"USB\\VID_2E5B&PID_0018\\KQ0004", {"USB\\Vid_2E5B&Pid_0018&Rev_0100", "USB\\Vid_2E5B&Pid_0018"}}, false};
const DeviceCase kModelIdSecond = {
    {"USB\\VID_1A86&PID_7584\\5&2F1D&0&2", {"USB\\Vid_1A86&Pid_7584&Rev_0254", "USB\\Vid_2E5B&Pid_0017"}}, false};
const DeviceCase kOtherEnumerator = {{"ROOT\\KARVELO\\0000", {"USB\\Vid_2E5B&Pid_0017&Rev_0100"}}, false};
// A composite device's function lies below a key of its own, named by its interface number in two
// hex digits.
const DeviceCase kInterface = {
    {"USB\\VID_2E5B&PID_0017&MI_00\\7&1F2E3D4C&0&0000",
     {"USB\\Vid_2E5B&Pid_0017&Rev_0100&MI_00", "USB\\Vid_2E5B&Pid_0017&MI_00"}},
    true};
const DeviceCase kInterfaceTen = {
    {"USB\\VID_2E5B&PID_0017&MI_0A\\7&1F2E3D4C&0&000A",
     {"USB\\Vid_2E5B&Pid_0017&Rev_0100&MI_0A", "USB\\Vid_2E5B&Pid_0017&MI_0A"}},
    true};

void Stage(const std::vector<DeviceCase>& cases) {
  for (const DeviceCase& device : cases) {
    std::string error;
    ASSERT_TRUE(stager::StageDeviceNode(device.device, error)) << error;
  }
}

void ExpectRemovedExactly(const std::vector<DeviceCase>& cases) {
  for (const DeviceCase& device : cases) {
    EXPECT_EQ(stager::DeviceNodeExists(device.device.instanceId), !device.removed) << device.device.instanceId;
  }
}

std::size_t ListBytes(const std::vector<std::string>& ids) {
  std::size_t bytes = 1;
  for (const std::string& id : ids) bytes += id.size() + 1;
  return bytes;
}

// Nodes whose hardware IDs cannot be read (none at all, or a list that does not fit) are passed
// over. A second walk, with none of the model's nodes left to remove, succeeds and changes nothing.
TEST(UsbDeviceNodes, RemovesTheModelsNodesAndLeavesEveryOtherNode) {
  const std::vector<DeviceCase> cases = {kNoHardwareId,     kRevisionSuffix, kOversizedList,   kLowerCase,
                                         kNeighbourProduct, kModelIdSecond,  kOtherEnumerator, kInterface,
                                         kInterfaceTen};
  ASSERT_GT(ListBytes(kOversizedList.device.hardwareIds), 100u);
  Stage(cases);

  EXPECT_EQ(RemoveUsbDeviceNodes(USB_HARDWARE_ID), TRUE);
  ExpectRemovedExactly(cases);

  EXPECT_EQ(RemoveUsbDeviceNodes(USB_HARDWARE_ID), TRUE);
  ExpectRemovedExactly(cases);
}

// The comparison covers 21 characters however long the pattern is, so a 49-character pattern that
// begins with the model's ID removes the model's nodes; one of 50 is refused before anything goes.
TEST(UsbDeviceNodes, RefusesAPatternOfFiftyCharactersOrMore) {
  Stage({kRevisionSuffix});
  const std::string modelId = "USB\\Vid_2E5B&Pid_0017";

  EXPECT_EQ(RemoveUsbDeviceNodes((modelId + std::string(50 - modelId.size(), 'x')).c_str()), FALSE);
  EXPECT_TRUE(stager::DeviceNodeExists(kRevisionSuffix.device.instanceId));

  EXPECT_EQ(RemoveUsbDeviceNodes((modelId + std::string(49 - modelId.size(), 'x')).c_str()), TRUE);
  EXPECT_FALSE(stager::DeviceNodeExists(kRevisionSuffix.device.instanceId));
}

TEST(UsbDeviceNodes, AShortPatternMatchesOnlyIdsThatEndWhereItEnds) {
  const DeviceCase vendorOnly = {{"USB\\VID_2E5B\\KQ0009", {"USB\\Vid_2E5B"}}, true};
  const std::vector<DeviceCase> cases = {vendorOnly, {kRevisionSuffix.device, false}};
  Stage(cases);

  EXPECT_EQ(RemoveUsbDeviceNodes("usb\\vid_2e5b"), TRUE);

  ExpectRemovedExactly(cases);
}

// SetupDiEnumDeviceInfo over the real list as the plan says: `unreadableBefore` members that fail
// with ERROR_GEN_FAILURE at every call stand before each real one, and the member at `index` fails
// so its first `times` calls. The first removal is refused where `refuseFirstRemoval` says so.
struct WalkFaults {
  DWORD unreadableBefore = 0;
  DWORD index = 0;
  int times = 0;
  std::map<DWORD, int> calls;
  bool refuseFirstRemoval = false;
  int removals = 0;
} failures;

BOOL WINAPI FailingEnumDeviceInfo(HDEVINFO devices, DWORD index, PSP_DEVINFO_DATA device) {
  const int call = ++failures.calls[index];
  const DWORD stride = failures.unreadableBefore + 1;
  if (index % stride != failures.unreadableBefore || (index == failures.index && call <= failures.times)) {
    ::SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  return ::SetupDiEnumDeviceInfo(devices, index / stride, device);
}

BOOL WINAPI RefusingRemoveDevice(HDEVINFO devices, PSP_DEVINFO_DATA device) {
  if (failures.refuseFirstRemoval && ++failures.removals == 1) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return ::SetupDiRemoveDevice(devices, device);
}

BOOL RemoveModelNodesAsPlanned() {
  return RemoveUsbDeviceNodesWith(USB_HARDWARE_ID, &FailingEnumDeviceInfo, &RefusingRemoveDevice);
}

std::string FirstUsbNodeId() {
  const ScopedDeviceInfoList devices(::SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES));
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  char id[200] = {};  // device instance IDs have at most 199 characters
  if (!::SetupDiEnumDeviceInfo(devices.Get(), 0, &device) ||
      !::SetupDiGetDeviceInstanceIdA(devices.Get(), &device, id, sizeof(id), nullptr)) {
    return std::string();
  }
  return id;
}

class UsbDeviceWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    failures = WalkFaults{};
    Stage({kRevisionSuffix, kLowerCase});
    firstNode_ = FirstUsbNodeId();
    ASSERT_FALSE(firstNode_.empty());
  }
  std::string firstNode_;
};

// A member that keeps failing is passed over after the retries and the walk goes on; in a second
// walk it fails once fewer, and the last retry takes it.
TEST_F(UsbDeviceWalk, PassesOverAMemberThatFailsPastItsRetriesAndTakesOneThatAnswersWithin) {
  failures.times = DEVICE_ENUM_RETRY_LIMIT + 1;

  EXPECT_EQ(RemoveModelNodesAsPlanned(), TRUE);

  EXPECT_EQ(failures.calls[0], DEVICE_ENUM_RETRY_LIMIT + 1);
  EXPECT_TRUE(stager::DeviceNodeExists(firstNode_));
  for (const DeviceCase& device : {kRevisionSuffix, kLowerCase}) {
    if (device.device.instanceId != firstNode_) EXPECT_FALSE(stager::DeviceNodeExists(device.device.instanceId));
  }

  failures = WalkFaults{};
  failures.times = DEVICE_ENUM_RETRY_LIMIT;
  EXPECT_EQ(RemoveModelNodesAsPlanned(), TRUE);
  EXPECT_EQ(failures.calls[0], DEVICE_ENUM_RETRY_LIMIT + 1);
  ExpectRemovedExactly({kRevisionSuffix, kLowerCase});
}

TEST_F(UsbDeviceWalk, EndsUnsuccessfulOnlyWhenTheLimitOfMembersInARowCannotBeRead) {
  failures.unreadableBefore = DEVICE_ENUM_SKIP_LIMIT;

  EXPECT_EQ(RemoveModelNodesAsPlanned(), FALSE);

  EXPECT_EQ(failures.calls.size(), DEVICE_ENUM_SKIP_LIMIT);
  for (const auto& [index, calls] : failures.calls) EXPECT_EQ(calls, DEVICE_ENUM_RETRY_LIMIT + 1) << index;
  ExpectRemovedExactly({{kRevisionSuffix.device, false}, {kLowerCase.device, false}});

  // One fewer in a row, before every member: more than the limit in all, and the walk goes on.
  failures = WalkFaults{};
  failures.unreadableBefore = DEVICE_ENUM_SKIP_LIMIT - 1;
  EXPECT_EQ(RemoveModelNodesAsPlanned(), TRUE);
  ExpectRemovedExactly({kRevisionSuffix, kLowerCase});
}

// A node the device installer refuses to remove ends the walk: the model's later nodes stay, and
// the result says that the removal failed.
TEST_F(UsbDeviceWalk, EndsUnsuccessfulAtTheFirstRemovalRefused) {
  failures.refuseFirstRemoval = true;

  EXPECT_EQ(RemoveModelNodesAsPlanned(), FALSE);

  ExpectRemovedExactly({{kRevisionSuffix.device, false}, {kLowerCase.device, false}});
}

}  // namespace

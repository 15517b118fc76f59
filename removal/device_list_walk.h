#pragma once

// The bounded walk over a device information list that the device node removals share, with the
// call that fetches each member as a parameter: SetupDiEnumDeviceInfo fails other than at the end
// of the list only when something is badly wrong, so that path cannot be brought about with a real
// list, and how the walk copes with it must still be checked.

#include <windows.h>
#include <setupapi.h>

#include <functional>

using EnumDeviceInfoCall = BOOL(WINAPI*)(HDEVINFO, DWORD, PSP_DEVINFO_DATA);
// SetupDiRemoveDevice's shape. Under Wine the device installer runs in the calling process and
// answers success even for a node whose keys it could not delete, so a removal that Windows refuses
// and reports cannot be brought about there.
using RemoveDeviceCall = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA);

// How often one member is asked for again after a failure other than the end of the list, before
// the walk passes it over.
inline constexpr int DEVICE_ENUM_RETRY_LIMIT = 3;
// Members passed over in a row after which the list counts as unreadable.
inline constexpr DWORD DEVICE_ENUM_SKIP_LIMIT = 8;

enum class DeviceWalkEnd { EndOfList, Unreadable, Stopped };

// Hands every member of `devices` to `visit`, by index from 0, until the end of the list, until
// DEVICE_ENUM_SKIP_LIMIT members in a row could not be fetched, or until `visit` answers false.
// A member removed by `visit` keeps its place in the list, so the next index is the next member.
DeviceWalkEnd WalkDeviceList(HDEVINFO devices, EnumDeviceInfoCall enumerate,
                             const std::function<bool(SP_DEVINFO_DATA&)>& visit);

// RemoveUsbDeviceNodes over a device list fetched by `enumerate`, each matching node removed by
// `removeDevice`; a list found unreadable ends it with FALSE.
BOOL RemoveUsbDeviceNodesWith(const char* hardwareIdPattern, EnumDeviceInfoCall enumerate,
                              RemoveDeviceCall removeDevice);

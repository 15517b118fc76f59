#pragma once

// The walk behind RemoveUsbDeviceNodes, with the call that fetches each member of the device
// list as a parameter: SetupDiEnumDeviceInfo fails other than at the end of the list only when
// something is badly wrong, so that path cannot be brought about with a real list, and how the
// walk copes with it must still be checked.

#include <windows.h>
#include <setupapi.h>

using EnumDeviceInfoCall = BOOL(WINAPI*)(HDEVINFO, DWORD, PSP_DEVINFO_DATA);

// How often one member is asked for again after a failure other than the end of the list, before
// the walk passes it over.
inline constexpr int DEVICE_ENUM_RETRY_LIMIT = 3;
// Members passed over in a row after which the list counts as unreadable: the walk ends with FALSE.
inline constexpr DWORD DEVICE_ENUM_SKIP_LIMIT = 8;

BOOL RemoveUsbDeviceNodesWith(const char* hardwareIdPattern, EnumDeviceInfoCall enumerate);

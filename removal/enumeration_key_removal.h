#pragma once

// The removal behind RemoveEnumerationKeys, with the device installer's removal call as a
// parameter. Under Wine the device installer runs in the calling process and answers success even
// for a node whose keys it could not delete, so a removal that Windows refuses and reports cannot
// be brought about there, and how the removal goes on past it must still be checked.

#include <windows.h>
#include <setupapi.h>

#include "removal/removal_result.h"

using RemoveDeviceCall = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA);

RemovalResult RemoveEnumerationKeysWith(RemoveDeviceCall removeDevice);

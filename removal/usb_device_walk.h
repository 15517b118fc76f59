#pragma once

// The walk behind RemoveUsbDeviceNodes, with the call that fetches each member of the device list
// as a parameter (see device_list_walk.h).

#include <windows.h>

#include "removal/device_list_walk.h"

BOOL RemoveUsbDeviceNodesWith(const char* hardwareIdPattern, EnumDeviceInfoCall enumerate);

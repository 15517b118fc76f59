#pragma once

// The removal behind RemoveEnumerationKeys, with the device installer's removal call as a
// parameter: a removal that Windows refuses cannot be brought about under Wine
// (removal/device_list_walk.h), and how the removal goes on past it must still be checked.

#include "removal/device_list_walk.h"
#include "removal/removal_result.h"

RemovalResult RemoveEnumerationKeysWith(RemoveDeviceCall removeDevice);

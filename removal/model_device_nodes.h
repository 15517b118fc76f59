#pragma once

// Which device nodes are the model's, told one way for the removal and for the look-up of what is
// left of the package. The device installer keeps each node below Enum, in the key its device ID
// names ("USB\VID_2E5B&PID_0017", "USBPRINT\KARVELOQTM-820wide"), one instance subkey per node,
// present or not. The nodes are taken from those keys and opened one by one through the device
// installer: its list of every node of an enumerator would hold each device the machine has ever
// seen, thousands on a till that has seen many.

#include <windows.h>
#include <setupapi.h>

#include "win/scoped_setup.h"

// The USB nodes that may match `hardwareIdPattern` (compared as RemoveUsbDeviceNodes compares it),
// in a list of their own: those below the Enum\USB device key that the pattern's first 21
// characters name ("USB\VID_2E5B&PID_0017", in any case), and below the keys of a composite
// device's functions, that name and "&MI_" with the interface number in two hex digits. Windows'
// USB hub driver names a device by the vendor and product codes its hardware IDs begin with
// ("USB\VID_v(4)&PID_d(4)", four hex digits each), and the generic parent driver each interface of
// a composite device "USB\VID_v(4)&PID_d(4)&MI_z(2)", z its bInterfaceNumber ("Standard USB
// identifiers"); a device key is named by that device ID. So these are all the keys whose names
// begin with the vendor and product, and a node whose first hardware ID matches lies below one of
// them. Every USB hardware ID begins with "USB\": a pattern that does not gives an empty list. An
// invalid list when none could be made; the last error then tells why.
ScopedDeviceInfoList ListUsbNodesFor(const char* hardwareIdPattern);

// The nodes below one enumeration key (below HKEY_LOCAL_MACHINE, within Enum), in a list of their
// own. A key that is not there gives an empty list.
ScopedDeviceInfoList ListNodesBelow(const char* enumerationKey);

// Whether the first ID of the node's hardware-ID list matches `pattern`, as RemoveUsbDeviceNodes
// (removal.h) compares; a list that cannot be read does not.
bool FirstHardwareIdMatches(HDEVINFO devices, SP_DEVINFO_DATA& node, const char* pattern);

// Whether the node is installed with the model's driver: the DriverDesc of its driver key is the
// driver name, exactly. Windows re-creates the nodes of a printer that is still plugged in once
// the model's package is gone (the USB node on its own "USB Printing Support", the printer node
// below it without any driver); such a node is Windows' record of attached hardware, not the
// model's package.
bool CarriesTheModelsDriver(HDEVINFO devices, SP_DEVINFO_DATA& node);

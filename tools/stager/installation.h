#pragma once

// A model installation described as data, and the stager that creates it in the running Windows
// (a Wine prefix in tests) through the system's own interfaces.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace stager {

// A printer driver: registered with the spooler, its files laid into the driver directory's
// version-3 folder first (the spooler does not copy them everywhere).
struct DriverSpec {
  std::string name;
  std::string driverFile;
  std::string dataFile;
  std::string configFile;
  std::vector<std::string> dependentFiles;
};

struct PrinterSpec {
  std::string name;
  std::string driverName;
  bool settingsKey = true;  // the model driver's per-printer settings key, with a value or two
};

// The folders the driver package installs files into.
enum class Folder { System, PrintProcessor, PrinterDriver, Windows, Inf };

// A file in one of those folders, named relative to it (for example "3\\QTM820wE.dll").
struct FileSpec {
  Folder folder;
  std::string relativePath;
};

// A setup information file in the Windows INF directory.
struct InfFileSpec {
  std::string name;
  bool listsModel = true;  // its "KARVELO" section has the line keyed by the driver name
  bool companion = true;   // the compiled companion, the same stem with ".PNF", lies beside it
  bool utf16 = false;      // written in UTF-16 with its byte-order mark, as Unicode INF files are
  bool alsoListsSibling = false;  // a family INF: it lists a sibling model of the maker as well
};

// A subkey of the printer device class key, one per installed printer driver.
struct DriverClassKeySpec {
  std::string subkey;
  std::string driverDesc;
  std::optional<std::string> infPath;
};

// An entry of a directory tree, named relative to the tree's root, with the attributes it gets
// once everything is in place.
struct TreeEntrySpec {
  std::string relativePath;
  bool directory = false;
  DWORD attributes = 0;
};

// How a staged key keeps the current user, an administrator, from deleting it. A locked key is
// owned by SYSTEM, so that ownership gives the user nothing, and only SYSTEM has full control.
enum class KeyLock {
  None,
  // Administrators may read the key and rewrite its DACL, but not delete it.
  UntilGranted,
  // Administrators may only read the key.
  Sealed,
  // Administrators may not even read the key.
  Closed,
};

// A device enumeration key below HKEY_LOCAL_MACHINE as the device installer leaves it: one
// device instance subkey with the device's values and a "Device Parameters" subkey below it.
struct DeviceKeySpec {
  std::string key;
  KeyLock lock = KeyLock::None;
  KeyLock instanceLock = KeyLock::None;  // the device instance subkey's
  bool instance = true;                  // without it, the bare key
};

// The driver key a driver installation gives its device node: a subkey of the node's device class
// key, named by the device installer, which goes with the node.
struct DriverKeySpec {
  std::string driverDesc;
  std::string infPath;
};

// A device node registered with the device installer under the enumerator its instance ID
// begins with ("USB\VID_...\serial", "USBPRINT\model\instance"), carrying a hardware-ID list,
// or no hardware-ID property at all when the list is empty. No device is attached to it, so it is
// not present. A node of the "USB" enumerator, or one without a driver, belongs to the USB setup
// class; any other with a driver to the printer setup class.
struct DeviceNodeSpec {
  std::string instanceId;
  std::vector<std::string> hardwareIds;
  std::optional<DriverKeySpec> driver;
  std::string portName;  // "Port Name" in the node's "Device Parameters" subkey; none when empty
};

// A key below HKEY_LOCAL_MACHINE that is locked once everything else is in place.
struct LockedKeySpec {
  std::string key;
  KeyLock lock;
};

struct Installation {
  std::vector<DriverSpec> drivers;
  std::vector<PrinterSpec> printers;
  // Settings keys (printer names as the driver writes them) without a printer of their own.
  std::vector<std::string> orphanSettingsKeys;
  bool uninstallKey = false;
  std::string uninstallInfFile;  // the Uninstall key's InfFile value; none when empty
  bool monitorKey = false;       // the language monitor as the spooler records it
  bool processorKey = false;     // the print processor as the spooler records it
  std::vector<FileSpec> files;
  std::vector<InfFileSpec> infFiles;
  std::vector<DriverClassKeySpec> driverClassKeys;
  std::vector<TreeEntrySpec> dataDirectory;  // the driver's data directory; none when empty
  std::vector<DeviceNodeSpec> deviceNodes;
  // Enumeration keys without device nodes, as another product or an older Windows leaves them.
  std::vector<DeviceKeySpec> deviceKeys;
  std::vector<LockedKeySpec> lockedKeys;  // locked last, in this order
};

// The model's own driver, with its files named as the installer names them.
DriverSpec ModelDriver();
// A driver of another maker, for printers that must be left alone.
DriverSpec OtherDriver(const std::string& name);

// Creates everything described; on failure says what failed in `error`.
bool Stage(const Installation& installation, std::string& error);

// The parts, each usable alone.
bool StageDriver(const DriverSpec& driver, std::string& error);
bool StagePrinter(const PrinterSpec& printer, std::string& error);
bool StageSettingsKey(const std::string& printerName, std::string& error);
bool StageUninstallKey(const std::string& infFile, std::string& error);
bool StageMonitorKey(std::string& error);
bool StageProcessorKey(std::string& error);
bool StageFile(const FileSpec& file, std::string& error);
bool StageInfFile(const InfFileSpec& inf, std::string& error);
bool StageDriverClassKey(const DriverClassKeySpec& key, std::string& error);
// Creates `root` and the entries below it, then gives each entry its attributes, deepest first.
bool StageDirectoryTree(const std::string& root, const std::vector<TreeEntrySpec>& entries, std::string& error);
bool StageDeviceNode(const DeviceNodeSpec& device, std::string& error);
bool StageDeviceKey(const DeviceKeySpec& deviceKey, std::string& error);
// Locks an existing key below HKEY_LOCAL_MACHINE, or below `root`.
bool LockKey(const std::string& key, KeyLock lock, std::string& error);
bool LockKey(HKEY root, const std::string& key, KeyLock lock, std::string& error);

// The model's USBPRINT and LPTENUM enumeration keys without device nodes, the LPTENUM one locked
// until granted.
std::vector<DeviceKeySpec> ModelEnumerationKeys();
// The printer nodes Windows keeps for the model once it was plugged in: one below the model's
// USBPRINT enumeration key and one below its LPTENUM key, each with its driver key naming the
// driver and `infName`, the INF it was installed from.
std::vector<DeviceNodeSpec> ModelPrinterNodes(const std::string& infName);
// The printer node of another model of the maker below USBPRINT, with its own driver key.
DeviceNodeSpec SiblingPrinterNode(const std::string& infName);
// The driver key of a device node, below HKEY_LOCAL_MACHINE; nothing when it has none.
std::optional<std::string> DeviceDriverKey(const std::string& instanceId);
// Whether the device installer still knows a node with this instance ID.
bool DeviceNodeExists(const std::string& instanceId);

}  // namespace stager

#include "engine/package_leftovers.h"

#include <windows.h>

#include <vector>

#include "identity/target_identity.h"
#include "removal/driver_package_names.h"
#include "removal/inf_directory.h"
#include "removal/inf_file_list.h"
#include "removal/printer_class_keys.h"
#include "removal/registry_text.h"
#include "removal/usb_hardware_id.h"
#include "win/reg_key.h"
#include "win/unique_handle.h"
#include "win/well_known_dirs.h"

// Each look-up counts only what the driver removal phase takes away, found the way the phase finds
// it: anything else would bring every later run back into the phase and its restart question, and
// the package would never be reported gone.

namespace {

using Leftover = std::optional<std::string>;

bool Exists(const std::string& path, bool directory) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directory;
}

// A key that the administrator may not even read is there all the same.
Leftover KeyLeft(const char* what, const std::string& path) {
  RegKey key;
  const LONG status = key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ);
  if (status != ERROR_SUCCESS && status != ERROR_ACCESS_DENIED) return std::nullopt;
  return std::string(what) + " " + path;
}

// A file of that name is no data directory, and the directory removal leaves it where it is.
Leftover DataDirectoryLeft() {
  const std::optional<std::string> driverDirectory = PrinterDriverDirectory();
  if (!driverDirectory) return std::nullopt;
  const std::string path = *driverDirectory + "\\" + DRIVER_DIR_NAME;
  if (!Exists(path, true)) return std::nullopt;
  return "data directory " + path;
}

// The print processor counts by its file in the print processor directory, not by its registration
// key. Windows' spooler deletes the registration (the phase deletes the key itself where the
// spooler refuses), and the file goes in the same phase right after; a registration stays without
// its file only where something else took the file. Wine's DeletePrintProcessorA is a stub that
// answers success and leaves the key, so a key that counted would bring every later run under Wine
// back into the phase.
Leftover PackageFileLeft(const DriverPackageNames& names) {
  for (const std::optional<std::string>& path : DriverPackageFilePaths(names)) {
    if (path && Exists(*path, false)) return "driver file " + *path;
  }
  return std::nullopt;
}

// The recorded INF counts only while it is the model's: Windows reuses oem numbers, so the name on
// record may by now be another product's INF, and one that is gone leaves only the record.
Leftover RecordedInfLeft() {
  const std::optional<RecordedInf> recorded = FindRecordedInf();
  if (!recorded || !ListsTheModel(recorded->path)) return std::nullopt;
  return "recorded INF " + recorded->path;
}

Leftover ClassKeyLeft() {
  Leftover found;
  (void)ForEachModelClassKey([&](HKEY, const std::string& path) {
    found = "printer class key " + path;
    return false;
  });
  return found;
}

// The device installer keeps a USB device's nodes below Enum, in the key that its hardware ID
// without the revision names ("USB\VID_2E5B&PID_0017"), one instance key per device, which holds
// the node's hardware IDs; the functions of a composite device lie beside it in keys of their own
// ("USB\VID_2E5B&PID_0017&MI_00"), never without the device's own node. Only that key is opened:
// the device installer's list of USB nodes would hold every device the machine has ever seen, and
// even the names of the Enum\USB keys take thousands of calls on a big machine. A node counts as
// RemoveUsbDeviceNodes tells it: by its first hardware ID.
Leftover UsbNodeLeft() {
  const std::string deviceId = USB_HARDWARE_ID;
  const std::string devicePath = DEVICE_ENUM_ROOT + deviceId;
  RegKey deviceKey;
  if (deviceKey.Open(HKEY_LOCAL_MACHINE, devicePath.c_str(), KEY_READ) != ERROR_SUCCESS) return std::nullopt;
  Leftover found;
  (void)ForEachSubkey(deviceKey.Get(), [&](const std::string& instance) {
    const std::string instancePath = devicePath + "\\" + instance;
    RegKey instanceKey;
    char hardwareIds[HARDWARE_ID_LIST_SIZE] = {};
    DWORD size = sizeof hardwareIds;
    if (instanceKey.Open(HKEY_LOCAL_MACHINE, instancePath.c_str(), KEY_READ) == ERROR_SUCCESS &&
        ::RegQueryValueExA(instanceKey.Get(), "HardwareID", nullptr, nullptr, reinterpret_cast<BYTE*>(hardwareIds),
                           &size) == ERROR_SUCCESS &&
        FirstHardwareIdMatches(hardwareIds, USB_HARDWARE_ID)) {
      found = "USB device node " + deviceId + "\\" + instance;
    }
    return !found;
  });
  return found;
}

// Whether `bytes` hold `text`, ignoring the case of its ASCII letters, in characters of one byte or,
// every second byte zero, of two (UTF-16).
bool HoldsText(const std::string& bytes, const std::string& text, size_t width) {
  const auto folded = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  const auto holdsAt = [&](size_t at) {
    for (size_t i = 0; i < text.size(); ++i) {
      const size_t byte = at + i * width;
      if (folded(bytes[byte]) != folded(text[i]) || (width == 2 && bytes[byte + 1] != '\0')) return false;
    }
    return true;
  };
  for (size_t at = 0; at + text.size() * width <= bytes.size(); ++at) {
    if (holdsAt(at)) return true;
  }
  return false;
}

// Reading an INF costs a fraction of parsing it, and only one whose text holds the driver name can
// list the model: its model line names the driver, itself or through the [Strings] entry it takes
// the name from. INF files are written in a single-byte code page or in UTF-16. A file too large
// to read at once is left to the parse.
bool MayListTheModel(const std::string& path) {
  constexpr LONGLONG kLargestRead = 32 * 1024 * 1024;
  const ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.IsValid() || !::GetFileSizeEx(file.Get(), &size)) return false;
  if (size.QuadPart > kLargestRead) return true;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return false;
  }
  bytes.resize(read);
  return HoldsText(bytes, DRIVER_NAME, 1) || HoldsText(bytes, DRIVER_NAME, 2);
}

Leftover OemInfLeft() {
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) return std::nullopt;
  const std::optional<std::vector<std::string>> names = ListOemInfFiles(*infDirectory);
  if (!names) return std::nullopt;
  for (const std::string& name : *names) {
    const std::string path = *infDirectory + "\\" + name;
    if (MayListTheModel(path) && IsModelsOemInf(*infDirectory, name)) return "oem INF " + path;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FindPackageLeftover() {
  const std::optional<DriverPackageNames> names = ComposeDriverPackageNames(MODEL_NAME, DRIVER_FILE_LETTER);
  if (!names) return std::nullopt;
  // Single keys and files first; then the walks, over the printer class keys, the instances of the
  // model's USB device key, and last the oem INFs, each of which is read.
  if (Leftover found = KeyLeft("language monitor key", names->monitorKey)) return found;
  if (Leftover found = KeyLeft("enumeration key", USBPRINT_ENUM_KEY)) return found;
  if (Leftover found = KeyLeft("enumeration key", LPTENUM_ENUM_KEY)) return found;
  if (Leftover found = DataDirectoryLeft()) return found;
  if (Leftover found = PackageFileLeft(*names)) return found;
  if (Leftover found = RecordedInfLeft()) return found;
  if (Leftover found = ClassKeyLeft()) return found;
  if (Leftover found = UsbNodeLeft()) return found;
  return OemInfLeft();
}

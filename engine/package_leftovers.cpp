#include "engine/package_leftovers.h"

#include <windows.h>
#include <cfgmgr32.h>

#include <set>
#include <vector>

#include "identity/target_identity.h"
#include "removal/device_list_walk.h"
#include "removal/driver_package_names.h"
#include "removal/inf_directory.h"
#include "removal/inf_file_list.h"
#include "removal/inf_models.h"
#include "removal/model_device_nodes.h"
#include "removal/model_printers.h"
#include "removal/printer_class_keys.h"
#include "win/reg_key.h"
#include "win/unique_handle.h"
#include "win/well_known_dirs.h"

// Each look-up counts only what the driver removal phase takes away, found the way the phase finds
// it, and nothing that Windows re-creates by itself: anything else would bring every later run back
// into the phase and its restart question, and the package would never be reported gone.

namespace {

using Visit = std::function<bool(const PackageLeftover&)>;

bool Exists(const std::string& path, bool directory) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directory;
}

bool KeysLeft(const char* what, const std::string& path, const Visit& visit) {
  if (!RegistryKeyIsThere(path)) return true;
  return visit({std::string(what) + " " + path, std::string()});
}

// Nodes of the model on the model's driver; `pattern`, where given, is the hardware-ID rule that
// tells the list's nodes for the model's.
bool NodesLeft(const ScopedDeviceInfoList& devices, const char* pattern, const Visit& visit) {
  if (!devices.IsValid()) return true;
  bool goOn = true;
  (void)WalkDeviceList(devices.Get(), &::SetupDiEnumDeviceInfo, [&](SP_DEVINFO_DATA& node) {
    if ((pattern != nullptr && !FirstHardwareIdMatches(devices.Get(), node, pattern)) ||
        !CarriesTheModelsDriver(devices.Get(), node)) {
      return true;
    }
    char instanceId[MAX_DEVICE_ID_LEN] = {};
    (void)::SetupDiGetDeviceInstanceIdA(devices.Get(), &node, instanceId, sizeof instanceId, nullptr);
    goOn = visit({std::string("device node ") + instanceId + " on the model's driver", std::string()});
    return goOn;
  });
  return goOn;
}

// An enumeration key counts by the nodes below it that carry the model's driver. Windows keeps the
// key with a node of its own while the printer is plugged in (the node without a driver once the
// package is gone); a key without any node below it is no record of attached hardware, and counts.
bool EnumerationKeyLeft(const char* enumerationKey, const Visit& visit) {
  RegKey key;
  const LONG status = key.Open(HKEY_LOCAL_MACHINE, enumerationKey, KEY_READ);
  if (status == ERROR_ACCESS_DENIED) return visit({std::string("enumeration key ") + enumerationKey, std::string()});
  if (status != ERROR_SUCCESS) return true;
  DWORD subkeys = 0;
  if (::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) == ERROR_SUCCESS &&
      subkeys == 0) {
    return visit({std::string("enumeration key ") + enumerationKey, std::string()});
  }
  return NodesLeft(ListNodesBelow(enumerationKey), nullptr, visit);
}

// A file of that name is no data directory, and the directory removal leaves it where it is.
bool DataDirectoryLeft(const Visit& visit) {
  const std::optional<std::string> driverDirectory = PrinterDriverDirectory();
  if (!driverDirectory) return true;
  const std::string path = *driverDirectory + "\\" + DRIVER_DIR_NAME;
  if (!Exists(path, true)) return true;
  return visit({"data directory " + path, path});
}

// The print processor counts by its file in the print processor directory, not by its registration
// key. Windows' spooler deletes the registration (the phase deletes the key itself where the
// spooler refuses), and the file goes in the same phase right after; a registration stays without
// its file only where something else took the file. Wine's DeletePrintProcessorA is a stub that
// answers success and leaves the key, so a key that counted would bring every later run under Wine
// back into the phase.
bool PackageFilesLeft(const DriverPackageNames& names, const Visit& visit) {
  for (const std::optional<std::string>& path : DriverPackageFilePaths(names)) {
    if (path && Exists(*path, false) && !visit({"driver file " + *path, *path})) return false;
  }
  return true;
}

// The drivers installed beside the model's, asked for once and only when an INF of the model needs
// them.
class InstalledDrivers {
 public:
  const std::optional<std::set<std::string>>& Names() {
    if (!asked_) names_ = InstalledDriverNames();
    asked_ = true;
    return names_;
  }

 private:
  bool asked_ = false;
  std::optional<std::set<std::string>> names_;
};

// An INF that lists the model is no leftover while an installed driver of another model comes from
// it: the phase keeps it.
bool IsTheModelsAlone(const std::string& path, InstalledDrivers& drivers) {
  return !WhyTheInfServesAnotherDriver(path, drivers.Names());
}

// The recorded INF counts only while it is the model's: Windows reuses oem numbers, so the name on
// record may by now be another product's INF, and one that is gone leaves only the record.
bool RecordedInfLeft(InstalledDrivers& drivers, const Visit& visit) {
  const std::optional<RecordedInf> recorded = FindRecordedInf();
  if (!recorded || !ListsTheModel(recorded->path) || !IsTheModelsAlone(recorded->path, drivers)) return true;
  return visit({"recorded INF " + recorded->path, recorded->path});
}

bool ClassKeysLeft(const Visit& visit) {
  bool goOn = true;
  (void)ForEachModelClassKey([&](HKEY, const std::string& path) {
    goOn = visit({"printer class key " + path, std::string()});
    return goOn;
  });
  return goOn;
}

// The model's USB nodes, as the node removal finds them; a node counts by its driver (see
// CarriesTheModelsDriver): a printer still plugged in keeps a USB node of the model's IDs on
// Windows' own USB printing support.
bool UsbNodesLeft(const Visit& visit) { return NodesLeft(ListUsbNodesFor(USB_HARDWARE_ID), USB_HARDWARE_ID, visit); }

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

bool OemInfsLeft(InstalledDrivers& drivers, const Visit& visit) {
  const std::optional<std::string> infDirectory = InfDirectory();
  if (!infDirectory) return true;
  const std::optional<std::vector<std::string>> names = ListOemInfFiles(*infDirectory);
  if (!names) return true;
  for (const std::string& name : *names) {
    const std::string path = *infDirectory + "\\" + name;
    if (MayListTheModel(path) && IsModelsOemInf(*infDirectory, name) && IsTheModelsAlone(path, drivers) &&
        !visit({"oem INF " + path, path})) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool RegistryKeyIsThere(const std::string& path) {
  RegKey key;
  const LONG status = key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ);
  return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

void ForEachPackageLeftover(const Visit& visit) {
  const std::optional<DriverPackageNames> names = ComposeDriverPackageNames(MODEL_NAME, DRIVER_FILE_LETTER);
  if (!names) return;
  InstalledDrivers drivers;
  // Single keys and files first; then the walks, over the printer class keys, the model's USB
  // nodes, and last the oem INFs, each of which is read.
  (void)(KeysLeft("language monitor key", names->monitorKey, visit) && EnumerationKeyLeft(USBPRINT_ENUM_KEY, visit) &&
         EnumerationKeyLeft(LPTENUM_ENUM_KEY, visit) && DataDirectoryLeft(visit) && PackageFilesLeft(*names, visit) &&
         RecordedInfLeft(drivers, visit) && ClassKeysLeft(visit) && UsbNodesLeft(visit) && OemInfsLeft(drivers, visit));
}

std::optional<std::string> FindPackageLeftover() {
  std::optional<std::string> first;
  ForEachPackageLeftover([&](const PackageLeftover& leftover) {
    first = leftover.what;
    return false;
  });
  return first;
}

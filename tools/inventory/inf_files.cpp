// The model's INF files with their PNF companions, as the three records point to them, the
// printer class keys, and INF files of others that mention the maker.

#include <windows.h>
#include <setupapi.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tools/inventory/inventory.h"
#include "tools/inventory/registry_walk.h"
#include "tools/stager/system_state.h"
#include "win/well_known_dirs.h"

namespace inventory {

namespace {

constexpr char kPrinterClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Stem(const std::string& name) { return name.substr(0, name.rfind('.')); }

// Whether the INF has the model's line in the maker's section.
bool HasModelLine(const std::string& path) {
  HINF inf = ::SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_OLDNT | INF_STYLE_WIN4, nullptr);
  if (inf == INVALID_HANDLE_VALUE) return false;
  INFCONTEXT context;
  const bool found = ::SetupFindFirstLineA(inf, INF_MANUFACTURER_SECTION, DRIVER_NAME, &context) != FALSE;
  ::SetupCloseInfFile(inf);
  return found;
}

bool MentionsMaker(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string content(64 * 1024, '\0');
  DWORD read = 0;
  ::ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
  ::CloseHandle(file);
  content.resize(read);
  return ContainsIgnoringCase(content, "KARVELO");
}

}  // namespace

void AddInfFiles(std::vector<Item>& items) {
  const std::optional<std::string> windows = WindowsDirectory();
  if (!windows) return;
  const std::string infDirectory = *windows + "\\inf";
  // Stems (in lower case) of the INF files of the model and of others, by the records.
  std::map<std::string, Kind> stems;

  if (const std::optional<std::string> recorded =
          stager::ReadRegistryString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "InfFile")) {
    if (Lower(recorded->substr(0, infDirectory.size() + 1)) == Lower(infDirectory + "\\")) {
      stems[Lower(Stem(recorded->substr(infDirectory.size() + 1)))] = Kind::Model;
    }
  }
  for (const std::string& subkey : SubkeyNames(HKEY_LOCAL_MACHINE, kPrinterClassKey)) {
    const std::string key = std::string(kPrinterClassKey) + "\\" + subkey;
    const std::optional<std::string> description = stager::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DriverDesc");
    if (!description || !ContainsIgnoringCase(*description, "KARVELO")) continue;
    const Kind kind = *description == DRIVER_NAME ? Kind::Model : Kind::Other;
    items.push_back({"printer class key", key + " (" + *description + ")", kind});
    if (const std::optional<std::string> infPath = stager::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "InfPath")) {
      if (stems.count(Lower(Stem(*infPath))) == 0 || kind == Kind::Model) stems[Lower(Stem(*infPath))] = kind;
    }
  }
  for (const std::string& name : FileNames(infDirectory, "*.inf")) {
    const std::string path = infDirectory + "\\" + name;
    if (name.compare(0, 3, "oem") == 0 && HasModelLine(path)) {
      stems[Lower(Stem(name))] = Kind::Model;
    } else if (stems.count(Lower(Stem(name))) == 0 && MentionsMaker(path)) {
      stems[Lower(Stem(name))] = Kind::Other;
    }
  }
  for (const std::string& pattern : {"*.inf", "*.pnf"}) {
    for (const std::string& name : FileNames(infDirectory, pattern)) {
      const auto known = stems.find(Lower(Stem(name)));
      if (known != stems.end()) items.push_back({"INF file", infDirectory + "\\" + name, known->second});
    }
  }
}

}  // namespace inventory

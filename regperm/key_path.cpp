#include "regperm/key_path.h"

#include <cstring>
#include <utility>

#include "regperm/tokens.h"

namespace {

struct HiveAlias {
  const char* name;
  HKEY root;
};

// Compared in this order.
const HiveAlias HIVE_ALIASES[] = {
    {"HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKU", HKEY_USERS},          {"HKEY_USERS", HKEY_USERS},
    {"HKCR", HKEY_CLASSES_ROOT},  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKCU", HKEY_CURRENT_USER},  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
};

// The whole token must equal an alias, ignoring case: "HKLMX" names no hive.
HKEY FindHiveRoot(std::string_view token) {
  for (const HiveAlias& alias : HIVE_ALIASES) {
    if (token.size() == std::strlen(alias.name) && _strnicmp(token.data(), alias.name, token.size()) == 0) {
      return alias.root;
    }
  }
  return nullptr;
}

}  // namespace

LONG OpenKeyPath(const char* keyPath, KeyPathResult& result) {
  if (keyPath == nullptr) return ERROR_INVALID_PARAMETER;
  const std::string_view path(keyPath, strnlen(keyPath, KEY_PATH_TEXT_SIZE));
  if (path.size() > MAX_KEY_PATH_LENGTH) return ERROR_INVALID_PARAMETER;

  const bool remote = path.substr(0, 2) == "\\\\";
  std::size_t position = 0;
  const std::string_view machineName = remote ? NextToken(path, '\\', position) : std::string_view();
  const std::string_view hiveToken = NextToken(path, '\\', position);
  if (hiveToken.empty()) return ERROR_INVALID_PARAMETER;
  HKEY root = FindHiveRoot(hiveToken);
  if (root == nullptr) return ERROR_INVALID_PARAMETER;
  // Another machine's current user and classes are not reachable through a connection; refused
  // before one is made.
  if (remote && (root == HKEY_CURRENT_USER || root == HKEY_CLASSES_ROOT)) return ERROR_INVALID_PARAMETER;
  // The subkey is the rest of the path taken whole, backslashes and all.
  const std::string_view subKey = RestAfter(path, position);

  KeyPathBuffer machinePrefixBuffer{};
  KeyPathText machinePrefix(machinePrefixBuffer);
  if (remote) machinePrefix.Assign({"\\\\", machineName});

  // A machine part is always reached through a connection, even when it names this computer.
  RegKey connectedRoot;
  if (remote) {
    HKEY connected = nullptr;
    const LONG status = ::RegConnectRegistryA(machinePrefix.c_str(), root, &connected);
    if (status != ERROR_SUCCESS) return status;
    connectedRoot = RegKey(connected);
    root = connected;
  }

  if (subKey.empty()) {
    result.keyHandle = remote ? std::move(connectedRoot) : RegKey(root);
  } else {
    HKEY opened = nullptr;
    // subKey runs to the end of keyPath, so it is terminated.
    const LONG status = ::RegOpenKeyExA(root, subKey.data(), 0, KEY_PATH_ACCESS, &opened);
    connectedRoot.Close();
    if (status != ERROR_SUCCESS) return status;
    result.keyHandle = RegKey(opened);
  }

  if (!result.machinePrefix.EnsureBuffer() || !result.resolvedPath.EnsureBuffer()) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  result.machinePrefix.Assign({machinePrefix.c_str()});
  result.resolvedPath.Assign({machinePrefix.c_str(), remote ? "\\" : "", hiveToken,
                              subKey.empty() ? "" : "\\", subKey});
  return ERROR_SUCCESS;
}

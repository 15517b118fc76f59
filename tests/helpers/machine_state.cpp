// machine_state <folder> [<began>]: writes what a test case could leave behind in a running Wine session,
// for the launcher to compare with the state the session started in (tests/wine/session_state.py):
//   machine.reg, users.reg  HKEY_LOCAL_MACHINE and HKEY_USERS, saved by the registry itself
//                           (RegSaveKey: written by Wine's server, with every value, in one call);
//   security.txt            the owner and access list of every key where the uninstaller and the
//                           tests change security (a saved hive holds none; reading it key by key
//                           everywhere would cost seconds under emulation);
//   services.txt            each service's state.
// With <began>, the folder of the state the session began in, it first stops every service that
// runs now and did not then (the spooler, which an uninstall restarts), as a fresh session has it.
// Exits 0 when all four were written.

#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

bool EnableBackupPrivilege() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const bool enabled = ::LookupPrivilegeValueW(nullptr, L"SeBackupPrivilege", &privileges.Privileges[0].Luid) &&
                       ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                       ::GetLastError() == ERROR_SUCCESS;
  ::CloseHandle(token);
  return enabled;
}

bool SaveHive(HKEY root, const std::wstring& file) {
  (void)::DeleteFileW(file.c_str());
  return ::RegSaveKeyW(root, file.c_str(), nullptr) == ERROR_SUCCESS;
}

std::string Utf8(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) (void)::WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], size, nullptr, nullptr);
  return narrow;
}

// Below these the uninstaller takes keys over to delete them, and tests lock keys away.
constexpr const wchar_t* kGuardedKeys[] = {
    L"System\\CurrentControlSet\\Control\\Print",
    L"System\\CurrentControlSet\\Control\\Class",
    L"System\\CurrentControlSet\\Enum",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    L"Software\\KARVELO_POS_PRINTER",
};

void WriteKeySecurity(HKEY key, const std::wstring& path, FILE* out) {
  constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  (void)::RegGetKeySecurity(key, kWhat, nullptr, &size);
  std::vector<BYTE> descriptor(size ? size : 1);
  LPWSTR text = nullptr;
  if (::RegGetKeySecurity(key, kWhat, descriptor.data(), &size) == ERROR_SUCCESS &&
      ::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.data(), SDDL_REVISION_1, kWhat, &text,
                                                             nullptr)) {
    std::fprintf(out, "%s\t%s\n", Utf8(path.c_str()).c_str(), Utf8(text).c_str());
    ::LocalFree(text);
  } else {
    std::fprintf(out, "%s\tunreadable\n", Utf8(path.c_str()).c_str());
  }
}

// A key that cannot be opened to read its security is a line of its own: a key locked away from
// everyone differs from the same key open to administrators.
void WalkSecurity(HKEY parent, const std::wstring& name, const std::wstring& path, FILE* out) {
  HKEY key = nullptr;
  const LONG status = ::RegOpenKeyExW(parent, name.c_str(), 0, READ_CONTROL | KEY_ENUMERATE_SUB_KEYS, &key);
  if (status != ERROR_SUCCESS) {
    if (status != ERROR_FILE_NOT_FOUND) std::fprintf(out, "%s\tnot opened\n", Utf8(path.c_str()).c_str());
    return;
  }
  WriteKeySecurity(key, path, out);
  std::vector<std::wstring> subkeys;
  wchar_t subkey[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof subkey / sizeof subkey[0];
    if (::RegEnumKeyExW(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(subkey, length);
  }
  for (const std::wstring& child : subkeys) WalkSecurity(key, child, path + L"\\" + child, out);
  ::RegCloseKey(key);
}

bool WriteSecurity(const std::wstring& file) {
  FILE* out = _wfopen(file.c_str(), L"wb");
  if (out == nullptr) return false;
  for (const wchar_t* key : kGuardedKeys) WalkSecurity(HKEY_LOCAL_MACHINE, key, key, out);
  return std::fclose(out) == 0;
}

std::vector<BYTE> ListServices(SC_HANDLE manager, DWORD& count) {
  DWORD needed = 0, resume = 0;
  (void)::EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER, SERVICE_STATE_ALL,
                                nullptr, 0, &needed, &count, &resume, nullptr);
  std::vector<BYTE> buffer(needed ? needed : 1);
  resume = 0;
  if (!::EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER, SERVICE_STATE_ALL,
                               buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count, &resume, nullptr)) {
    count = 0;
    buffer.clear();
  }
  return buffer;
}

bool AnyPending(const ENUM_SERVICE_STATUS_PROCESSW* services, DWORD count) {
  for (DWORD i = 0; i < count; ++i) {
    const DWORD state = services[i].ServiceStatusProcess.dwCurrentState;
    if (state != SERVICE_STOPPED && state != SERVICE_RUNNING && state != SERVICE_PAUSED) return true;
  }
  return false;
}

// A service still starting or stopping (the session's own, just after it booted) is waited for:
// its state is the one it settles in.
bool WriteServices(const std::wstring& file) {
  const SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
  if (manager == nullptr) return false;
  DWORD count = 0;
  std::vector<BYTE> buffer = ListServices(manager, count);
  for (int wait = 0; wait < 600 && AnyPending(reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data()), count);
       ++wait) {
    ::Sleep(50);
    buffer = ListServices(manager, count);
  }
  ::CloseServiceHandle(manager);
  FILE* out = buffer.empty() ? nullptr : _wfopen(file.c_str(), L"wb");
  if (out == nullptr) return false;
  const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    std::fprintf(out, "%s\t%lu\n", Utf8(services[i].lpServiceName).c_str(),
                 services[i].ServiceStatusProcess.dwCurrentState);
  }
  return std::fclose(out) == 0;
}

std::set<std::wstring> ServicesStoppedIn(const std::wstring& file) {
  std::set<std::wstring> stopped;
  std::ifstream in(file.c_str());
  for (std::string line; std::getline(in, line);) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || std::stoul(line.substr(tab + 1)) != SERVICE_STOPPED) continue;
    const std::string name = line.substr(0, tab);
    stopped.insert(std::wstring(name.begin(), name.end()));
  }
  return stopped;
}

bool StopService(SC_HANDLE manager, const std::wstring& name) {
  const SC_HANDLE service = ::OpenServiceW(manager, name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS);
  if (service == nullptr) return false;
  SERVICE_STATUS status{};
  bool stopped = ::ControlService(service, SERVICE_CONTROL_STOP, &status) || ::GetLastError() == ERROR_SERVICE_NOT_ACTIVE;
  for (int wait = 0; stopped && wait < 600 && ::QueryServiceStatus(service, &status) &&
                     status.dwCurrentState != SERVICE_STOPPED;
       ++wait) {
    ::Sleep(50);
  }
  stopped = stopped && status.dwCurrentState == SERVICE_STOPPED;
  ::CloseServiceHandle(service);
  return stopped;
}

// Service names are ASCII in Wine's own list; those of the tests' services are too.
bool StopServicesStoppedIn(const std::wstring& began) {
  const std::set<std::wstring> stopped = ServicesStoppedIn(began + L"\\services.txt");
  const SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE);
  if (manager == nullptr) return false;
  DWORD count = 0;
  const std::vector<BYTE> buffer = ListServices(manager, count);
  bool done = !buffer.empty();
  const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
  for (DWORD i = 0; done && i < count; ++i) {
    if (services[i].ServiceStatusProcess.dwCurrentState != SERVICE_STOPPED &&
        stopped.count(services[i].lpServiceName)) {
      done = StopService(manager, services[i].lpServiceName);
    }
  }
  ::CloseServiceHandle(manager);
  return done;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 3 || !EnableBackupPrivilege()) return 2;
  if (argc == 3 && !StopServicesStoppedIn(argv[2])) return 1;
  const std::wstring folder = argv[1];
  const bool written = SaveHive(HKEY_LOCAL_MACHINE, folder + L"\\machine.reg") &&
                       SaveHive(HKEY_USERS, folder + L"\\users.reg") && WriteSecurity(folder + L"\\security.txt") &&
                       WriteServices(folder + L"\\services.txt");
  return written ? 0 : 1;
}

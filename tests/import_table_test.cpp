// The uninstaller must start on Windows 7 SP1 as released, with no update installed: Windows
// refuses to start a program whose static imports name a function its DLLs do not export, before
// any code of the program runs. This reads the built product's import table and holds it against
// the list below, reviewed entry by entry against the platform documentation's minimum version.
// Wine exports the newer functions too, so only the file itself can show such an import.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <utility>

#include "tests/pe_import_table.h"
#include "tools/robot/launched_program.h"

namespace {

struct ReviewedImport {
  const char* dll;
  const char* function;
  // The oldest Windows its reference says has it ("Minimum supported client"). The reference
  // starts most long-standing functions at Windows XP or Windows 2000: those say "Windows XP".
  const char* documentedSince;
};

// Every function the product imports statically. A new import fails the test until it is looked
// up and added here, or loaded at run time instead (as SetDefaultDllDirectories is). The C runtime
// entries are msvcrt.dll's, the system's own C library that the mingw-w64 runtime calls; its
// reference names no Windows version per function, and these exports are in the msvcrt.dll of
// Windows XP and every later Windows.
const ReviewedImport kReviewedImports[] = {
    {"ADVAPI32.dll", "AdjustTokenPrivileges", "Windows XP"},
    {"ADVAPI32.dll", "BuildExplicitAccessWithNameA", "Windows XP"},
    {"ADVAPI32.dll", "CloseServiceHandle", "Windows XP"},
    {"ADVAPI32.dll", "ControlService", "Windows XP"},
    {"ADVAPI32.dll", "ConvertStringSecurityDescriptorToSecurityDescriptorA", "Windows XP"},
    {"ADVAPI32.dll", "CreateWellKnownSid", "Windows XP"},
    {"ADVAPI32.dll", "EnumDependentServicesA", "Windows XP"},
    {"ADVAPI32.dll", "GetSecurityDescriptorControl", "Windows XP"},
    {"ADVAPI32.dll", "GetSecurityDescriptorDacl", "Windows XP"},
    {"ADVAPI32.dll", "GetSecurityInfo", "Windows XP"},
    {"ADVAPI32.dll", "IsWellKnownSid", "Windows XP"},
    {"ADVAPI32.dll", "LookupPrivilegeValueA", "Windows XP"},
    {"ADVAPI32.dll", "OpenProcessToken", "Windows XP"},
    {"ADVAPI32.dll", "OpenSCManagerA", "Windows XP"},
    {"ADVAPI32.dll", "OpenServiceA", "Windows XP"},
    {"ADVAPI32.dll", "QueryServiceConfigA", "Windows XP"},
    {"ADVAPI32.dll", "QueryServiceStatus", "Windows XP"},
    {"ADVAPI32.dll", "RegCloseKey", "Windows XP"},
    {"ADVAPI32.dll", "RegConnectRegistryA", "Windows XP"},
    {"ADVAPI32.dll", "RegCreateKeyExA", "Windows XP"},
    {"ADVAPI32.dll", "RegEnumKeyExA", "Windows XP"},
    {"ADVAPI32.dll", "RegOpenKeyExA", "Windows XP"},
    {"ADVAPI32.dll", "RegQueryInfoKeyA", "Windows XP"},
    {"ADVAPI32.dll", "RegQueryValueExA", "Windows XP"},
    {"ADVAPI32.dll", "SetEntriesInAclA", "Windows XP"},
    {"ADVAPI32.dll", "SetSecurityInfo", "Windows XP"},
    {"ADVAPI32.dll", "StartServiceA", "Windows XP"},
    {"GDI32.dll", "GetTextMetricsA", "Windows XP"},
    {"GDI32.dll", "SelectObject", "Windows XP"},
    {"GDI32.dll", "SetBkMode", "Windows XP"},
    {"GDI32.dll", "SetTextColor", "Windows XP"},
    {"KERNEL32.dll", "AddVectoredExceptionHandler", "Windows XP"},
    {"KERNEL32.dll", "CloseHandle", "Windows XP"},
    {"KERNEL32.dll", "CompareStringA", "Windows XP"},
    {"KERNEL32.dll", "CreateDirectoryA", "Windows XP"},
    {"KERNEL32.dll", "CreateEventA", "Windows XP"},
    {"KERNEL32.dll", "CreateFileA", "Windows XP"},
    {"KERNEL32.dll", "CreateMutexA", "Windows XP"},
    {"KERNEL32.dll", "CreateSemaphoreA", "Windows XP"},
    {"KERNEL32.dll", "CreateThread", "Windows XP"},
    {"KERNEL32.dll", "DeleteCriticalSection", "Windows XP"},
    {"KERNEL32.dll", "DeleteFileA", "Windows XP"},
    {"KERNEL32.dll", "DuplicateHandle", "Windows XP"},
    {"KERNEL32.dll", "EnterCriticalSection", "Windows XP"},
    {"KERNEL32.dll", "FindClose", "Windows XP"},
    {"KERNEL32.dll", "FindFirstFileA", "Windows XP"},
    {"KERNEL32.dll", "FindFirstFileW", "Windows XP"},
    {"KERNEL32.dll", "FindNextFileA", "Windows XP"},
    {"KERNEL32.dll", "FindNextFileW", "Windows XP"},
    {"KERNEL32.dll", "FormatMessageA", "Windows XP"},
    {"KERNEL32.dll", "FreeLibrary", "Windows XP"},
    {"KERNEL32.dll", "GetACP", "Windows XP"},
    {"KERNEL32.dll", "GetCommandLineA", "Windows XP"},
    {"KERNEL32.dll", "GetComputerNameA", "Windows XP"},
    {"KERNEL32.dll", "GetCurrentProcess", "Windows XP"},
    {"KERNEL32.dll", "GetCurrentProcessId", "Windows XP"},
    {"KERNEL32.dll", "GetCurrentThread", "Windows XP"},
    {"KERNEL32.dll", "GetCurrentThreadId", "Windows XP"},
    {"KERNEL32.dll", "GetFileAttributesA", "Windows XP"},
    {"KERNEL32.dll", "GetFileInformationByHandle", "Windows XP"},
    {"KERNEL32.dll", "GetFileSizeEx", "Windows XP"},
    {"KERNEL32.dll", "GetFileType", "Windows XP"},
    {"KERNEL32.dll", "GetFinalPathNameByHandleW", "Windows Vista"},
    {"KERNEL32.dll", "GetFullPathNameA", "Windows XP"},
    {"KERNEL32.dll", "GetHandleInformation", "Windows XP"},
    {"KERNEL32.dll", "GetLastError", "Windows XP"},
    {"KERNEL32.dll", "GetLocalTime", "Windows XP"},
    {"KERNEL32.dll", "GetModuleHandleA", "Windows XP"},
    {"KERNEL32.dll", "GetModuleHandleW", "Windows XP"},
    {"KERNEL32.dll", "GetProcAddress", "Windows XP"},
    {"KERNEL32.dll", "GetProcessAffinityMask", "Windows XP"},
    {"KERNEL32.dll", "GetStartupInfoA", "Windows XP"},
    {"KERNEL32.dll", "GetStdHandle", "Windows XP"},
    {"KERNEL32.dll", "GetSystemDirectoryA", "Windows XP"},
    {"KERNEL32.dll", "GetSystemTime", "Windows XP"},
    {"KERNEL32.dll", "GetSystemTimeAsFileTime", "Windows XP"},
    {"KERNEL32.dll", "GetThreadContext", "Windows XP"},
    {"KERNEL32.dll", "GetThreadPriority", "Windows XP"},
    {"KERNEL32.dll", "GetTickCount", "Windows XP"},
    {"KERNEL32.dll", "GetTickCount64", "Windows Vista"},
    {"KERNEL32.dll", "GetWindowsDirectoryA", "Windows XP"},
    {"KERNEL32.dll", "InitializeCriticalSection", "Windows XP"},
    {"KERNEL32.dll", "IsDBCSLeadByteEx", "Windows XP"},
    {"KERNEL32.dll", "IsDebuggerPresent", "Windows XP"},
    {"KERNEL32.dll", "IsWow64Process", "Windows XP SP2"},
    {"KERNEL32.dll", "LeaveCriticalSection", "Windows XP"},
    {"KERNEL32.dll", "LoadLibraryA", "Windows XP"},
    {"KERNEL32.dll", "LoadLibraryExA", "Windows XP"},
    {"KERNEL32.dll", "LoadLibraryW", "Windows XP"},
    {"KERNEL32.dll", "LocalFree", "Windows XP"},
    {"KERNEL32.dll", "MoveFileExA", "Windows XP"},
    {"KERNEL32.dll", "MultiByteToWideChar", "Windows XP"},
    {"KERNEL32.dll", "OpenMutexA", "Windows XP"},
    {"KERNEL32.dll", "OpenProcess", "Windows XP"},
    {"KERNEL32.dll", "OutputDebugStringA", "Windows XP"},
    {"KERNEL32.dll", "ProcessIdToSessionId", "Windows Vista"},
    {"KERNEL32.dll", "RaiseException", "Windows XP"},
    {"KERNEL32.dll", "ReadFile", "Windows XP"},
    {"KERNEL32.dll", "ReleaseSemaphore", "Windows XP"},
    {"KERNEL32.dll", "RemoveDirectoryA", "Windows XP"},
    {"KERNEL32.dll", "RemoveVectoredExceptionHandler", "Windows XP"},
    {"KERNEL32.dll", "ResetEvent", "Windows XP"},
    {"KERNEL32.dll", "ResumeThread", "Windows XP"},
    {"KERNEL32.dll", "SetDllDirectoryA", "Windows XP SP1"},
    {"KERNEL32.dll", "SetErrorMode", "Windows XP"},
    {"KERNEL32.dll", "SetEvent", "Windows XP"},
    {"KERNEL32.dll", "SetFileAttributesA", "Windows XP"},
    {"KERNEL32.dll", "SetFileInformationByHandle", "Windows Vista"},
    {"KERNEL32.dll", "SetLastError", "Windows XP"},
    {"KERNEL32.dll", "SetProcessAffinityMask", "Windows XP"},
    {"KERNEL32.dll", "SetThreadContext", "Windows XP"},
    {"KERNEL32.dll", "SetThreadPriority", "Windows XP"},
    {"KERNEL32.dll", "SetUnhandledExceptionFilter", "Windows XP"},
    {"KERNEL32.dll", "Sleep", "Windows XP"},
    {"KERNEL32.dll", "SuspendThread", "Windows XP"},
    {"KERNEL32.dll", "SystemTimeToFileTime", "Windows XP"},
    {"KERNEL32.dll", "SystemTimeToTzSpecificLocalTime", "Windows XP"},
    {"KERNEL32.dll", "TlsAlloc", "Windows XP"},
    {"KERNEL32.dll", "TlsGetValue", "Windows XP"},
    {"KERNEL32.dll", "TlsSetValue", "Windows XP"},
    {"KERNEL32.dll", "TryEnterCriticalSection", "Windows XP"},
    {"KERNEL32.dll", "VirtualProtect", "Windows XP"},
    {"KERNEL32.dll", "VirtualQuery", "Windows XP"},
    {"KERNEL32.dll", "WaitForMultipleObjects", "Windows XP"},
    {"KERNEL32.dll", "WaitForSingleObject", "Windows XP"},
    {"KERNEL32.dll", "WideCharToMultiByte", "Windows XP"},
    {"KERNEL32.dll", "WriteFile", "Windows XP"},
    {"KERNEL32.dll", "WriteProfileStringA", "Windows XP"},
    {"SETUPAPI.dll", "SetupCloseInfFile", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiCreateDeviceInfoList", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiDestroyDeviceInfoList", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiEnumDeviceInfo", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiGetDeviceInstanceIdA", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiGetDeviceRegistryPropertyA", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiOpenDevRegKey", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiOpenDeviceInfoA", "Windows XP"},
    {"SETUPAPI.dll", "SetupDiRemoveDevice", "Windows XP"},
    {"SETUPAPI.dll", "SetupFindFirstLineA", "Windows XP"},
    {"SETUPAPI.dll", "SetupFindNextLine", "Windows XP"},
    {"SETUPAPI.dll", "SetupGetFieldCount", "Windows XP"},
    {"SETUPAPI.dll", "SetupGetStringFieldA", "Windows XP"},
    {"SETUPAPI.dll", "SetupOpenInfFileA", "Windows XP"},
    {"SETUPAPI.dll", "SetupUninstallOEMInfA", "Windows XP"},
    {"SHLWAPI.dll", "SHDeleteKeyA", "Windows XP"},
    {"SHLWAPI.dll", "StrStrA", "Windows XP"},
    {"USER32.dll", "BeginPaint", "Windows XP"},
    {"USER32.dll", "CallNextHookEx", "Windows XP"},
    {"USER32.dll", "CallWindowProcA", "Windows XP"},
    {"USER32.dll", "DefWindowProcA", "Windows XP"},
    {"USER32.dll", "DialogBoxParamA", "Windows XP"},
    {"USER32.dll", "DrawFocusRect", "Windows XP"},
    {"USER32.dll", "DrawFrameControl", "Windows XP"},
    {"USER32.dll", "DrawIcon", "Windows XP"},
    {"USER32.dll", "DrawTextA", "Windows XP"},
    {"USER32.dll", "EnableMenuItem", "Windows XP"},
    {"USER32.dll", "EnableWindow", "Windows XP"},
    {"USER32.dll", "EndDialog", "Windows XP"},
    {"USER32.dll", "EndPaint", "Windows XP"},
    {"USER32.dll", "ExitWindowsEx", "Windows XP"},
    {"USER32.dll", "FillRect", "Windows XP"},
    {"USER32.dll", "FindWindowA", "Windows XP"},
    {"USER32.dll", "GetClientRect", "Windows XP"},
    {"USER32.dll", "GetDC", "Windows XP"},
    {"USER32.dll", "GetDlgCtrlID", "Windows XP"},
    {"USER32.dll", "GetDlgItem", "Windows XP"},
    {"USER32.dll", "GetParent", "Windows XP"},
    {"USER32.dll", "GetProcessWindowStation", "Windows XP"},
    {"USER32.dll", "GetPropA", "Windows XP"},
    {"USER32.dll", "GetSysColor", "Windows XP"},
    {"USER32.dll", "GetSysColorBrush", "Windows XP"},
    {"USER32.dll", "GetSystemMenu", "Windows XP"},
    {"USER32.dll", "GetSystemMetrics", "Windows XP"},
    {"USER32.dll", "GetUserObjectInformationA", "Windows XP"},
    {"USER32.dll", "GetWindowLongA", "Windows XP"},
    {"USER32.dll", "GetWindowTextA", "Windows XP"},
    {"USER32.dll", "GetWindowTextLengthA", "Windows XP"},
    {"USER32.dll", "InvalidateRect", "Windows XP"},
    {"USER32.dll", "IsChild", "Windows XP"},
    {"USER32.dll", "IsIconic", "Windows XP"},
    {"USER32.dll", "IsWindow", "Windows XP"},
    {"USER32.dll", "IsWindowEnabled", "Windows XP"},
    {"USER32.dll", "KillTimer", "Windows XP"},
    {"USER32.dll", "LoadIconA", "Windows XP"},
    {"USER32.dll", "MessageBoxA", "Windows XP"},
    {"USER32.dll", "PostMessageA", "Windows XP"},
    {"USER32.dll", "PtInRect", "Windows XP"},
    {"USER32.dll", "RedrawWindow", "Windows XP"},
    {"USER32.dll", "ReleaseDC", "Windows XP"},
    {"USER32.dll", "RemovePropA", "Windows XP"},
    {"USER32.dll", "SendMessageA", "Windows XP"},
    {"USER32.dll", "SetForegroundWindow", "Windows XP"},
    {"USER32.dll", "SetPropA", "Windows XP"},
    {"USER32.dll", "SetTimer", "Windows XP"},
    {"USER32.dll", "SetWindowLongA", "Windows XP"},
    {"USER32.dll", "SetWindowTextA", "Windows XP"},
    {"USER32.dll", "SetWindowsHookExA", "Windows XP"},
    {"USER32.dll", "ShowWindow", "Windows XP"},
    {"USER32.dll", "UnhookWindowsHookEx", "Windows XP"},
    {"msvcrt.dll", "__argc", "Windows XP"},
    {"msvcrt.dll", "__getmainargs", "Windows XP"},
    {"msvcrt.dll", "__initenv", "Windows XP"},
    {"msvcrt.dll", "__mb_cur_max", "Windows XP"},
    {"msvcrt.dll", "__p___argv", "Windows XP"},
    {"msvcrt.dll", "__p__acmdln", "Windows XP"},
    {"msvcrt.dll", "__p__commode", "Windows XP"},
    {"msvcrt.dll", "__p__fmode", "Windows XP"},
    {"msvcrt.dll", "__set_app_type", "Windows XP"},
    {"msvcrt.dll", "__setusermatherr", "Windows XP"},
    {"msvcrt.dll", "_amsg_exit", "Windows XP"},
    {"msvcrt.dll", "_beginthreadex", "Windows XP"},
    {"msvcrt.dll", "_cexit", "Windows XP"},
    {"msvcrt.dll", "_close", "Windows XP"},
    {"msvcrt.dll", "_endthreadex", "Windows XP"},
    {"msvcrt.dll", "_errno", "Windows XP"},
    {"msvcrt.dll", "_initterm", "Windows XP"},
    {"msvcrt.dll", "_iob", "Windows XP"},
    {"msvcrt.dll", "_onexit", "Windows XP"},
    {"msvcrt.dll", "_read", "Windows XP"},
    {"msvcrt.dll", "_setjmp3", "Windows XP"},
    {"msvcrt.dll", "_strdup", "Windows XP"},
    {"msvcrt.dll", "_stricmp", "Windows XP"},
    {"msvcrt.dll", "_strnicmp", "Windows XP"},
    {"msvcrt.dll", "_ultoa", "Windows XP"},
    {"msvcrt.dll", "_wcsicmp", "Windows XP"},
    {"msvcrt.dll", "abort", "Windows XP"},
    {"msvcrt.dll", "atoi", "Windows XP"},
    {"msvcrt.dll", "calloc", "Windows XP"},
    {"msvcrt.dll", "exit", "Windows XP"},
    {"msvcrt.dll", "fprintf", "Windows XP"},
    {"msvcrt.dll", "fputc", "Windows XP"},
    {"msvcrt.dll", "fputs", "Windows XP"},
    {"msvcrt.dll", "free", "Windows XP"},
    {"msvcrt.dll", "fwrite", "Windows XP"},
    {"msvcrt.dll", "localeconv", "Windows XP"},
    {"msvcrt.dll", "longjmp", "Windows XP"},
    {"msvcrt.dll", "malloc", "Windows XP"},
    {"msvcrt.dll", "memchr", "Windows XP"},
    {"msvcrt.dll", "memcmp", "Windows XP"},
    {"msvcrt.dll", "memcpy", "Windows XP"},
    {"msvcrt.dll", "memmove", "Windows XP"},
    {"msvcrt.dll", "memset", "Windows XP"},
    {"msvcrt.dll", "printf", "Windows XP"},
    {"msvcrt.dll", "realloc", "Windows XP"},
    {"msvcrt.dll", "setlocale", "Windows XP"},
    {"msvcrt.dll", "signal", "Windows XP"},
    {"msvcrt.dll", "strchr", "Windows XP"},
    {"msvcrt.dll", "strcmp", "Windows XP"},
    {"msvcrt.dll", "strerror", "Windows XP"},
    {"msvcrt.dll", "strlen", "Windows XP"},
    {"msvcrt.dll", "strncmp", "Windows XP"},
    {"msvcrt.dll", "toupper", "Windows XP"},
    {"msvcrt.dll", "vfprintf", "Windows XP"},
    {"msvcrt.dll", "wcslen", "Windows XP"},
};

// What "Windows 7 SP1 without updates or older" admits.
const std::set<std::string> kWindows7OrOlder = {"Windows XP", "Windows XP SP1", "Windows XP SP2", "Windows Vista",
                                                "Windows 7"};

using ImportName = std::pair<std::string, std::string>;  // DLL in upper case, function

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

std::string Describe(const ImportName& name) { return name.first + "!" + name.second; }

TEST(ImportTable, EveryStaticImportOfTheProductIsReviewed) {
  const std::optional<pe::ImportTable> table = pe::ReadImportTable(OwnFolder() + "qtm820wide_uninstall.exe");
  ASSERT_TRUE(table.has_value()) << "the product is not a readable PE32 file";
  EXPECT_FALSE(table->hasDelayLoadedImports) << "delay-loaded imports escape this review";

  std::set<ImportName> imported;
  for (const pe::Import& import : table->imports) imported.insert({Upper(import.dll), import.function});
  std::set<ImportName> reviewed;
  for (const ReviewedImport& entry : kReviewedImports) reviewed.insert({Upper(entry.dll), entry.function});
  ASSERT_GT(imported.size(), 100u) << "the reading found too little to be the product's table";

  for (const ImportName& name : imported) {
    EXPECT_TRUE(reviewed.count(name)) << Describe(name)
                                      << " is imported but not reviewed: look up its minimum Windows version and "
                                         "add it to the list, or load it at run time where it exists";
  }
  for (const ImportName& name : reviewed) {
    EXPECT_TRUE(imported.count(name)) << Describe(name) << " is reviewed but no longer imported: drop it";
  }
}

TEST(ImportTable, EveryReviewedImportIsDocumentedForWindows7OrOlder) {
  for (const ReviewedImport& entry : kReviewedImports) {
    EXPECT_TRUE(kWindows7OrOlder.count(entry.documentedSince))
        << entry.dll << "!" << entry.function << " needs " << entry.documentedSince;
  }
}

}  // namespace

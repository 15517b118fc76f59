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
  // The oldest Windows the documentation says has it ("Minimum supported client").
  const char* documentedSince;
};

// Every function the product imports statically. A new import fails the test until it is looked
// up and added here, or loaded at run time instead (as SetDefaultDllDirectories is). The C runtime
// entries are msvcrt.dll's, the system's own C library that the mingw-w64 runtime calls; its
// reference names no Windows version per function, and these exports are in the msvcrt.dll of
// Windows XP and every later Windows.
const ReviewedImport kReviewedImports[] = {
    {"ADVAPI32.dll", "AdjustTokenPrivileges", "Windows 2000"},
    {"ADVAPI32.dll", "BuildExplicitAccessWithNameA", "Windows XP"},
    {"ADVAPI32.dll", "GetSecurityDescriptorControl", "Windows XP"},
    {"ADVAPI32.dll", "GetSecurityDescriptorDacl", "Windows 2000"},
    {"ADVAPI32.dll", "GetSecurityInfo", "Windows XP"},
    {"ADVAPI32.dll", "LookupPrivilegeValueA", "Windows 2000"},
    {"ADVAPI32.dll", "OpenProcessToken", "Windows 2000"},
    {"ADVAPI32.dll", "RegCloseKey", "Windows 2000"},
    {"ADVAPI32.dll", "RegConnectRegistryA", "Windows 2000"},
    {"ADVAPI32.dll", "RegCreateKeyExA", "Windows 2000"},
    {"ADVAPI32.dll", "RegEnumKeyExA", "Windows 2000"},
    {"ADVAPI32.dll", "RegOpenKeyExA", "Windows 2000"},
    {"ADVAPI32.dll", "RegQueryValueExA", "Windows 2000"},
    {"ADVAPI32.dll", "SetEntriesInAclA", "Windows XP"},
    {"ADVAPI32.dll", "SetSecurityInfo", "Windows XP"},
    {"GDI32.dll", "GetTextMetricsA", "Windows 2000"},
    {"GDI32.dll", "SelectObject", "Windows 2000"},
    {"GDI32.dll", "SetBkMode", "Windows 2000"},
    {"GDI32.dll", "SetTextColor", "Windows 2000"},
    {"KERNEL32.dll", "AddVectoredExceptionHandler", "Windows XP"},
    {"KERNEL32.dll", "CloseHandle", "Windows 2000"},
    {"KERNEL32.dll", "CompareStringA", "Windows 2000"},
    {"KERNEL32.dll", "CreateEventA", "Windows 2000"},
    {"KERNEL32.dll", "CreateSemaphoreA", "Windows 2000"},
    {"KERNEL32.dll", "DeleteCriticalSection", "Windows 2000"},
    {"KERNEL32.dll", "DeleteFileA", "Windows 2000"},
    {"KERNEL32.dll", "DuplicateHandle", "Windows 2000"},
    {"KERNEL32.dll", "EnterCriticalSection", "Windows 2000"},
    {"KERNEL32.dll", "FindClose", "Windows 2000"},
    {"KERNEL32.dll", "FindFirstFileA", "Windows 2000"},
    {"KERNEL32.dll", "FindFirstFileW", "Windows 2000"},
    {"KERNEL32.dll", "FindNextFileA", "Windows 2000"},
    {"KERNEL32.dll", "FindNextFileW", "Windows 2000"},
    {"KERNEL32.dll", "FormatMessageA", "Windows 2000"},
    {"KERNEL32.dll", "FreeLibrary", "Windows 2000"},
    {"KERNEL32.dll", "GetACP", "Windows 2000"},
    {"KERNEL32.dll", "GetComputerNameA", "Windows 2000"},
    {"KERNEL32.dll", "GetCurrentProcess", "Windows 2000"},
    {"KERNEL32.dll", "GetCurrentProcessId", "Windows 2000"},
    {"KERNEL32.dll", "GetCurrentThread", "Windows 2000"},
    {"KERNEL32.dll", "GetCurrentThreadId", "Windows 2000"},
    {"KERNEL32.dll", "GetFileAttributesA", "Windows 2000"},
    {"KERNEL32.dll", "GetHandleInformation", "Windows XP"},
    {"KERNEL32.dll", "GetLastError", "Windows 2000"},
    {"KERNEL32.dll", "GetModuleHandleA", "Windows 2000"},
    {"KERNEL32.dll", "GetModuleHandleW", "Windows 2000"},
    {"KERNEL32.dll", "GetProcAddress", "Windows 2000"},
    {"KERNEL32.dll", "GetProcessAffinityMask", "Windows 2000"},
    {"KERNEL32.dll", "GetStartupInfoA", "Windows 2000"},
    {"KERNEL32.dll", "GetSystemDirectoryA", "Windows 2000"},
    {"KERNEL32.dll", "GetSystemTimeAsFileTime", "Windows 2000"},
    {"KERNEL32.dll", "GetThreadContext", "Windows 2000"},
    {"KERNEL32.dll", "GetThreadPriority", "Windows 2000"},
    {"KERNEL32.dll", "GetTickCount64", "Windows Vista"},
    {"KERNEL32.dll", "GetWindowsDirectoryA", "Windows 2000"},
    {"KERNEL32.dll", "InitializeCriticalSection", "Windows 2000"},
    {"KERNEL32.dll", "IsDBCSLeadByteEx", "Windows 2000"},
    {"KERNEL32.dll", "IsDebuggerPresent", "Windows XP"},
    {"KERNEL32.dll", "IsWow64Process", "Windows XP SP2"},
    {"KERNEL32.dll", "LeaveCriticalSection", "Windows 2000"},
    {"KERNEL32.dll", "LoadLibraryA", "Windows 2000"},
    {"KERNEL32.dll", "LoadLibraryExA", "Windows 2000"},
    {"KERNEL32.dll", "LoadLibraryW", "Windows 2000"},
    {"KERNEL32.dll", "LocalFree", "Windows 2000"},
    {"KERNEL32.dll", "MoveFileExA", "Windows XP"},
    {"KERNEL32.dll", "MultiByteToWideChar", "Windows 2000"},
    {"KERNEL32.dll", "OpenProcess", "Windows 2000"},
    {"KERNEL32.dll", "OutputDebugStringA", "Windows 2000"},
    {"KERNEL32.dll", "RaiseException", "Windows 2000"},
    {"KERNEL32.dll", "ReleaseSemaphore", "Windows 2000"},
    {"KERNEL32.dll", "RemoveDirectoryA", "Windows 2000"},
    {"KERNEL32.dll", "RemoveVectoredExceptionHandler", "Windows XP"},
    {"KERNEL32.dll", "ResetEvent", "Windows 2000"},
    {"KERNEL32.dll", "ResumeThread", "Windows 2000"},
    {"KERNEL32.dll", "SetDllDirectoryA", "Windows XP SP1"},
    {"KERNEL32.dll", "SetEvent", "Windows 2000"},
    {"KERNEL32.dll", "SetFileAttributesA", "Windows 2000"},
    {"KERNEL32.dll", "SetLastError", "Windows 2000"},
    {"KERNEL32.dll", "SetProcessAffinityMask", "Windows 2000"},
    {"KERNEL32.dll", "SetThreadContext", "Windows 2000"},
    {"KERNEL32.dll", "SetThreadPriority", "Windows 2000"},
    {"KERNEL32.dll", "SetUnhandledExceptionFilter", "Windows 2000"},
    {"KERNEL32.dll", "Sleep", "Windows 2000"},
    {"KERNEL32.dll", "SuspendThread", "Windows 2000"},
    {"KERNEL32.dll", "TlsAlloc", "Windows 2000"},
    {"KERNEL32.dll", "TlsGetValue", "Windows 2000"},
    {"KERNEL32.dll", "TlsSetValue", "Windows 2000"},
    {"KERNEL32.dll", "TryEnterCriticalSection", "Windows XP"},
    {"KERNEL32.dll", "VirtualProtect", "Windows 2000"},
    {"KERNEL32.dll", "VirtualQuery", "Windows 2000"},
    {"KERNEL32.dll", "WaitForMultipleObjects", "Windows 2000"},
    {"KERNEL32.dll", "WaitForSingleObject", "Windows 2000"},
    {"KERNEL32.dll", "WideCharToMultiByte", "Windows 2000"},
    {"KERNEL32.dll", "WinExec", "Windows 2000"},
    {"KERNEL32.dll", "WriteProfileStringA", "Windows 2000"},
    {"SETUPAPI.dll", "SetupCloseInfFile", "Windows 2000"},
    {"SETUPAPI.dll", "SetupDiDestroyDeviceInfoList", "Windows 2000"},
    {"SETUPAPI.dll", "SetupDiEnumDeviceInfo", "Windows 2000"},
    {"SETUPAPI.dll", "SetupDiGetClassDevsA", "Windows 2000"},
    {"SETUPAPI.dll", "SetupDiGetDeviceRegistryPropertyA", "Windows 2000"},
    {"SETUPAPI.dll", "SetupDiRemoveDevice", "Windows XP"},
    {"SETUPAPI.dll", "SetupFindFirstLineA", "Windows 2000"},
    {"SETUPAPI.dll", "SetupOpenInfFileA", "Windows 2000"},
    {"SETUPAPI.dll", "SetupUninstallOEMInfA", "Windows XP"},
    {"SHLWAPI.dll", "SHDeleteKeyA", "Windows 2000"},
    {"SHLWAPI.dll", "StrStrA", "Windows 2000"},
    {"USER32.dll", "BeginPaint", "Windows 2000"},
    {"USER32.dll", "CallWindowProcA", "Windows 2000"},
    {"USER32.dll", "DefWindowProcA", "Windows 2000"},
    {"USER32.dll", "DialogBoxParamA", "Windows 2000"},
    {"USER32.dll", "DrawFocusRect", "Windows 2000"},
    {"USER32.dll", "DrawFrameControl", "Windows 2000"},
    {"USER32.dll", "DrawIcon", "Windows 2000"},
    {"USER32.dll", "DrawTextA", "Windows 2000"},
    {"USER32.dll", "EnableWindow", "Windows 2000"},
    {"USER32.dll", "EndDialog", "Windows 2000"},
    {"USER32.dll", "EndPaint", "Windows 2000"},
    {"USER32.dll", "ExitWindowsEx", "Windows 2000"},
    {"USER32.dll", "FillRect", "Windows 2000"},
    {"USER32.dll", "GetClientRect", "Windows 2000"},
    {"USER32.dll", "GetDC", "Windows 2000"},
    {"USER32.dll", "GetDlgCtrlID", "Windows 2000"},
    {"USER32.dll", "GetDlgItem", "Windows 2000"},
    {"USER32.dll", "GetParent", "Windows 2000"},
    {"USER32.dll", "GetPropA", "Windows 2000"},
    {"USER32.dll", "GetSysColor", "Windows 2000"},
    {"USER32.dll", "GetSysColorBrush", "Windows 2000"},
    {"USER32.dll", "GetSystemMetrics", "Windows 2000"},
    {"USER32.dll", "GetWindowLongA", "Windows 2000"},
    {"USER32.dll", "GetWindowTextA", "Windows 2000"},
    {"USER32.dll", "GetWindowTextLengthA", "Windows 2000"},
    {"USER32.dll", "InvalidateRect", "Windows 2000"},
    {"USER32.dll", "IsIconic", "Windows 2000"},
    {"USER32.dll", "IsWindow", "Windows 2000"},
    {"USER32.dll", "IsWindowEnabled", "Windows 2000"},
    {"USER32.dll", "KillTimer", "Windows 2000"},
    {"USER32.dll", "LoadIconA", "Windows 2000"},
    {"USER32.dll", "MessageBoxA", "Windows 2000"},
    {"USER32.dll", "MsgWaitForMultipleObjects", "Windows 2000"},
    {"USER32.dll", "PtInRect", "Windows 2000"},
    {"USER32.dll", "RedrawWindow", "Windows 2000"},
    {"USER32.dll", "ReleaseDC", "Windows 2000"},
    {"USER32.dll", "RemovePropA", "Windows 2000"},
    {"USER32.dll", "SendMessageA", "Windows 2000"},
    {"USER32.dll", "SetPropA", "Windows 2000"},
    {"USER32.dll", "SetTimer", "Windows 2000"},
    {"USER32.dll", "SetWindowLongA", "Windows 2000"},
    {"USER32.dll", "SetWindowTextA", "Windows 2000"},
    {"msvcrt.dll", "__getmainargs", "Windows XP"},
    {"msvcrt.dll", "__initenv", "Windows XP"},
    {"msvcrt.dll", "__mb_cur_max", "Windows XP"},
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
const std::set<std::string> kWindows7OrOlder = {"Windows 2000", "Windows XP", "Windows XP SP1", "Windows XP SP2",
                                                "Windows Vista", "Windows 7"};

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

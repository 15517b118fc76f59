// The installation scan: finds the printers of the model, or decides alone what to do without any.

#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/target_identity.h"
#include "app/uninstall_dialog.h"
#include "win/reg_key.h"
#include "win/spooler_enumeration.h"
#include "win/system_message.h"

namespace {

constexpr char kDriverNotExistText[] = "QTM-820wide Driver is not exist.\nUnistall aleady completed.";

bool IsModelDriverName(const char* name) { return name != nullptr && std::strcmp(name, DRIVER_NAME) == 0; }

// Adds the name of every local printer on the model's driver at the head of names. False when the
// spooler could not list the printers; the thread's last error then tells why.
bool CollectModelPrinters(StringList& names) {
  SpoolerList printers;
  const bool listed = EnumerateSpoolerList(
      [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, returned) != FALSE;
      },
      printers);
  if (!listed) return false;
  const PRINTER_INFO_2A* records = printers.Records<PRINTER_INFO_2A>();
  for (DWORD i = 0; i < printers.count; ++i) {
    if (IsModelDriverName(records[i].pDriverName) && records[i].pPrinterName != nullptr) {
      names.push_front(records[i].pPrinterName);
    }
  }
  return true;
}

// A failed driver enumeration counts as no driver.
bool IsModelDriverInstalled() {
  SpoolerList drivers;
  const bool listed = EnumerateSpoolerList(
      [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrinterDriversA(nullptr, nullptr, 3, buffer, size, needed, returned) != FALSE;
      },
      drivers);
  if (!listed) return false;
  const DRIVER_INFO_3A* records = drivers.Records<DRIVER_INFO_3A>();
  for (DWORD i = 0; i < drivers.count; ++i) {
    if (IsModelDriverName(records[i].pName)) return true;
  }
  return false;
}

void ReportEnumPrintersError(HWND owner, DWORD error) {
  char head[64];
  std::snprintf(head, sizeof(head), "EnumPrinters Error Code: %d\n\n", static_cast<int>(error));
  const std::string text = head + SystemMessageText(error);
  (void)::MessageBoxA(owner, text.c_str(), APP_TITLE, MB_ICONEXCLAMATION);
}

void DeleteUninstallKey() {
  RegKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return;
  (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}

}  // namespace

void CUninstallDlg::ScanInstallation() {
  m_printerNames.clear();
  if (!CollectModelPrinters(m_printerNames)) {
    ReportEnumPrintersError(Handle(), ::GetLastError());
    std::exit(0);
  }
  m_foundPrinterCount = static_cast<int>(m_printerNames.size());

  if (m_foundPrinterCount == 0) {
    if (IsModelDriverInstalled()) {
      (void)m_cancelButton.EnableWindow(FALSE);
      OnUninstall();
      return;
    }
    (void)::MessageBoxA(Handle(), kDriverNotExistText, APP_TITLE, MB_ICONINFORMATION);
    DeleteUninstallKey();
    std::exit(0);
  }

  (void)m_uninstallButton.EnableWindow(FALSE);
  // A list that already scrolls redraws its scroll bar for every line added (some milliseconds a
  // line under Wine): it is drawn once, with all its lines, instead.
  m_printerList.SetRedraw(false);
  for (const std::string& name : m_printerNames) (void)m_printerList.AddString(name);
  m_printerList.SetRedraw(true);
}

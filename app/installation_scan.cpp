// The installation scan: finds the printers of the model, or decides alone what to do without any.

#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "identity/target_identity.h"
#include "app/model_printers.h"
#include "app/package_leftovers.h"
#include "app/uninstall_dialog.h"
#include "win/reg_key.h"
#include "win/system_message.h"

namespace {

constexpr char kDriverNotExistText[] = "QTM-820wide Driver is not exist.\nUnistall aleady completed.";

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
  const std::optional<int> found = CollectModelPrinters(m_printerNames);
  if (!found) {
    ReportEnumPrintersError(Handle(), ::GetLastError());
    std::exit(0);
  }
  m_foundPrinterCount = *found;

  if (m_foundPrinterCount == 0) {
    if (IsModelDriverInstalled() || FindPackageLeftover()) {
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

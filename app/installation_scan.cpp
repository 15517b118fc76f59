// The installation scan as the dialog shows it: the model's printers listed, or, without any, the
// decision the dialog takes alone.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/uninstall_dialog.h"
#include "app/uninstall_log.h"
#include "engine/installation_scan.h"
#include "identity/target_identity.h"
#include "win/system_message.h"

namespace {

constexpr char kDriverNotExistText[] = "QTM-820wide Driver is not exist.\nUnistall aleady completed.";

void ReportEnumPrintersError(HWND owner, DWORD error) {
  char head[64];
  std::snprintf(head, sizeof(head), "EnumPrinters Error Code: %d\n\n", static_cast<int>(error));
  const std::string text = head + SystemMessageText(error);
  (void)::MessageBoxA(owner, text.c_str(), APP_TITLE, MB_ICONEXCLAMATION);
}

}  // namespace

void CUninstallDlg::ScanInstallation() {
  const ScanFindings found = ScanForTheModel();
  if (m_log != nullptr) m_log->Scanned(found);
  m_printerNames = found.printerNames;
  m_foundPrinterCount = found.foundPrinterCount;

  switch (found.verdict) {
    case ScanFindings::Verdict::PrinterListFailed:
      ReportEnumPrintersError(Handle(), found.listError);
      if (m_log != nullptr) m_log->Finished(ERROR_SUCCESS);
      std::exit(0);
    case ScanFindings::Verdict::PackageWithoutPrinters:
      (void)m_cancelButton.EnableWindow(FALSE);
      OnUninstall();
      return;
    case ScanFindings::Verdict::NothingInstalled: {
      (void)::MessageBoxA(Handle(), kDriverNotExistText, APP_TITLE, MB_ICONINFORMATION);
      const RemovalResult dropped = DropUninstallKey();
      if (m_log != nullptr) {
        m_log->StepDone("Delete the Uninstall key", dropped);
        m_log->Finished(ERROR_SUCCESS);
      }
      std::exit(0);
    }
    case ScanFindings::Verdict::Printers:
      break;
  }

  (void)m_uninstallButton.EnableWindow(FALSE);
  // A list that already scrolls redraws its scroll bar for every line added (some milliseconds a
  // line under Wine): it is drawn once, with all its lines, instead.
  m_printerList.SetRedraw(false);
  for (const std::string& name : m_printerNames) (void)m_printerList.AddString(name);
  m_printerList.SetRedraw(true);
}

#include "app/uninstall_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/uninstall_dialog.h"

CUninstallerApp theApp;

BOOL CUninstallerApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  (void)::InitCommonControlsEx(&controls);

  CUninstallDlg dialog;
  (void)dialog.DoModal();
  return FALSE;
}

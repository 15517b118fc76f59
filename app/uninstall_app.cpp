#include "app/uninstall_app.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "identity/target_identity.h"
#include "app/uninstall_dialog.h"
#include "win/wow64.h"

CUninstallerApp theApp;

namespace {

// The program is 32-bit, as the driver package is. On 64-bit Windows it runs under WOW64, where
// HKLM\SOFTWARE is redirected to Wow6432Node, the system directory to SysWOW64, the spooler's
// default environment is "Windows NT x86" and the device installer refuses removals asked for by
// 32-bit callers: it would delete the printers, miss most of the package and still report success.
// So it refuses there before it changes anything.
void RefuseOn64BitWindows() {
  const std::string text = std::string("This uninstaller is for 32-bit Windows only. This computer runs 64-bit "
                                       "Windows, where it cannot remove the ") +
                           DRIVER_NAME + " driver package.\n\nNothing was removed.";
  (void)::MessageBoxA(nullptr, text.c_str(), APP_TITLE, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

BOOL CUninstallerApp::InitInstance() {
  if (RunsUnderWow64()) {
    RefuseOn64BitWindows();
    return FALSE;
  }

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  (void)::InitCommonControlsEx(&controls);

  CUninstallDlg dialog;
  (void)dialog.DoModal();
  return FALSE;
}

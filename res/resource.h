#pragma once

// Resource and control ids; shared by the resource script and the code.

#define IDD_UNINSTALL 102
#define IDI_APP_ICON 128

#define IDC_STATUS_TEXT 1000
#define IDC_UNINSTALL 1001
#define IDC_PROGRESS 1002
#define IDC_PRINTER_LIST 1006

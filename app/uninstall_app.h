#pragma once

#include "ui/application.h"

// Without arguments, shows the uninstall dialog and ends the process when it closes; with /quiet,
// uninstalls without any window for a deployment tool, which reads the exit code and the log. On
// 64-bit Windows, and while another copy runs, it changes nothing.
class CUninstallerApp : public Application {
 public:
  BOOL InitInstance() override;
};

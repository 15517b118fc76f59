#pragma once

#include "ui/application.h"

// Shows the uninstall dialog and ends the process when it closes.
class CUninstallerApp : public Application {
 public:
  BOOL InitInstance() override;
};

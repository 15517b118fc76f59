#pragma once

#include "ui/application.h"

// Shows the uninstall dialog and ends the process when it closes; on 64-bit Windows it only says
// that it is for 32-bit Windows.
class CUninstallerApp : public Application {
 public:
  BOOL InitInstance() override;
};

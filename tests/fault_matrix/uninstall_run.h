#pragma once

// One run of the real uninstaller, worked by the robot the way its user would: wait for the scan,
// tick every printer listed, press Uninstall, answer No to the restart question.

#include <string>
#include <vector>

#include "tools/robot/uninstall_session.h"

namespace fault_matrix {

struct UninstallRun {
  bool started = false;
  std::vector<std::string> listedPrinters;
  robot::RunRecord record;
};

UninstallRun UninstallEverythingListed();

}  // namespace fault_matrix

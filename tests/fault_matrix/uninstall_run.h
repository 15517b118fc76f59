#pragma once

// One run of the real uninstaller, worked by the robot the way its user would: wait for the scan,
// tick every printer listed, press Uninstall, answer No to the restart question. The run keeps
// its log, which says how each step went.

#include <string>
#include <vector>

#include "tools/robot/uninstall_session.h"

namespace fault_matrix {

// Where the runs of the matrix keep their log.
inline constexpr char kRunLog[] = "C:\\uninstall-run.log";

struct UninstallRun {
  bool started = false;
  std::vector<std::string> listedPrinters;
  robot::RunRecord record;
  // The steps the log reports as failed, by name, in order.
  std::vector<std::string> failedSteps;
  // What the log reports left on the machine once the run was done.
  std::vector<std::string> left;
};

UninstallRun UninstallEverythingListed();

}  // namespace fault_matrix

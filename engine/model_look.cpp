#include "engine/model_look.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "engine/package_leftovers.h"
#include "identity/target_identity.h"
#include "removal/delete_at_restart.h"
#include "removal/model_printers.h"

namespace {

using Kind = Finding::Kind;

// A printer that the ANSI code page cannot name is the model's all the same; it is counted, as it
// cannot be named.
void AddPrinters(const UninstallPlan& plan, std::vector<Finding>& found) {
  StringList printers;
  const std::optional<int> count = CollectModelPrinters(printers);
  if (!count) {
    found.push_back({Kind::Unknown, "the printers, which the spooler could not list (error " +
                                        std::to_string(::GetLastError()) + ")"});
    return;
  }
  for (const std::string& name : printers) {
    const bool planned = std::find(plan.printerNames.begin(), plan.printerNames.end(), name) != plan.printerNames.end();
    if (plan.removeDriver || planned) found.push_back({Kind::Present, "printer \"" + name + "\""});
  }
  const int unnamed = *count - static_cast<int>(printers.size());
  if (plan.removeDriver && unnamed > 0) {
    found.push_back({Kind::Present, std::to_string(unnamed) +
                                        " printer(s) of the model whose names the ANSI code page cannot spell"});
  }
}

}  // namespace

std::vector<Finding> LookForWhatThePlanRemoves(const UninstallPlan& plan) {
  std::vector<Finding> found;
  if (!plan.printerPhase && !plan.removeDriver) return found;
  AddPrinters(plan, found);
  if (!plan.removeDriver) return found;
  if (IsModelDriverInstalled()) found.push_back({Kind::Present, std::string("printer driver \"") + DRIVER_NAME + "\""});
  const std::vector<std::string> atRestart = PathsToDeleteAtRestart();
  ForEachPackageLeftover([&](const PackageLeftover& leftover) {
    const bool goes = !leftover.path.empty() && IsAmong(leftover.path, atRestart);
    found.push_back({goes ? Kind::GoesAtRestart : Kind::Present, leftover.what});
    return true;
  });
  if (RegistryKeyIsThere(UNINSTALL_KEY)) found.push_back({Kind::Present, std::string("Uninstall key ") + UNINSTALL_KEY});
  return found;
}

UninstallPlan PlanForEverything() {
  UninstallPlan plan;
  plan.printerPhase = true;
  plan.removeDriver = true;
  return plan;
}

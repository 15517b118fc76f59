#include "app/silent_uninstall.h"

#include "engine/installation_scan.h"
#include "engine/uninstall_sequence.h"

DWORD UninstallSilently(UninstallLog& log) {
  const ScanFindings found = ScanForTheModel();
  log.Scanned(found);
  switch (found.verdict) {
    case ScanFindings::Verdict::PrinterListFailed:
      return ERROR_INSTALL_FAILURE;
    case ScanFindings::Verdict::NothingInstalled:
      // An uninstall that finds the product gone has succeeded.
      log.StepDone("Delete the Uninstall key", DropUninstallKey());
      return ERROR_SUCCESS;
    case ScanFindings::Verdict::Printers:
    case ScanFindings::Verdict::PackageWithoutPrinters:
      break;
  }

  // As when the user ticks every line of the list.
  const UninstallPlan plan = PlanRemoval(found.printerNames, found.foundPrinterCount);
  const UninstallOutcome outcome = RunUninstall(plan, log);
  log.Remaining(outcome.remaining);
  // A printer that cannot be named cannot be deleted, and keeps the driver it needs: the product
  // is still there, which the deployment tool must learn, as it must of anything else left.
  if (!plan.removeDriver || !outcome.remaining.empty()) return ERROR_INSTALL_FAILURE;
  return outcome.NeedsRestart() ? ERROR_SUCCESS_REBOOT_REQUIRED : ERROR_SUCCESS;
}

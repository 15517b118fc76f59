#include "engine/installation_scan.h"

#include <windows.h>
#include <shlwapi.h>

#include <optional>

#include "removal/model_printers.h"
#include "engine/package_leftovers.h"
#include "identity/target_identity.h"
#include "win/reg_key.h"

ScanFindings ScanForTheModel() {
  ScanFindings findings;
  const std::optional<int> found = CollectModelPrinters(findings.printerNames);
  if (!found) {
    findings.verdict = ScanFindings::Verdict::PrinterListFailed;
    findings.listError = ::GetLastError();
    return findings;
  }
  findings.foundPrinterCount = *found;
  if (findings.foundPrinterCount != 0) {
    findings.verdict = ScanFindings::Verdict::Printers;
  } else if (IsModelDriverInstalled()) {
    findings.verdict = ScanFindings::Verdict::PackageWithoutPrinters;
  } else if (std::optional<std::string> leftover = FindPackageLeftover()) {
    findings.verdict = ScanFindings::Verdict::PackageWithoutPrinters;
    findings.leftover = *leftover;
  }
  return findings;
}

// Opened for reading and writing first: a key that cannot be opened so is left alone.
RemovalResult DropUninstallKey() {
  RemovalResult result;
  RegKey key;
  const LONG opened = key.Open(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, KEY_READ | KEY_WRITE);
  if (opened != ERROR_SUCCESS) {
    result.FailUnlessGone(static_cast<DWORD>(opened));
    return result;
  }
  result.FailUnlessGone(::SHDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
  return result;
}

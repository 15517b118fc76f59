#include "removal/model_printers.h"

#include <windows.h>
#include <winspool.h>

#include <iterator>
#include <string>

#include "identity/target_identity.h"
#include "win/exact_ansi.h"
#include "win/spooler_enumeration.h"

namespace {

// A printer with jobs left is only marked for deletion, and goes once they have printed; how long
// the spooler may take to finish a deletion that it has taken on.
constexpr DWORD kPendingDeletionWaitMs = 5000;
constexpr DWORD kPendingDeletionPollMs = 100;

bool IsModelDriverName(const wchar_t* name) {
  return name != nullptr && ExactAnsi(name) == std::optional<std::string>(DRIVER_NAME);
}

}  // namespace

std::optional<int> CollectModelPrinters(StringList& names) {
  SpoolerList printers;
  const bool listed = EnumerateSpoolerList(
      [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, returned) != FALSE;
      },
      printers);
  if (!listed) return std::nullopt;
  const PRINTER_INFO_2W* records = printers.Records<PRINTER_INFO_2W>();
  int found = 0;
  for (DWORD i = 0; i < printers.count; ++i) {
    if (!IsModelDriverName(records[i].pDriverName) || records[i].pPrinterName == nullptr) continue;
    ++found;
    if (std::optional<std::string> name = ExactAnsi(records[i].pPrinterName)) names.push_front(*name);
  }
  return found;
}

std::optional<std::set<std::string>> ListedPrinterNames() {
  SpoolerList printers;
  const bool listed = EnumerateSpoolerList(
      [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer, size, needed, returned) != FALSE;
      },
      printers);
  if (!listed) return std::nullopt;
  std::set<std::string> names;
  const PRINTER_INFO_4W* records = printers.Records<PRINTER_INFO_4W>();
  for (DWORD i = 0; i < printers.count; ++i) {
    if (records[i].pPrinterName == nullptr) continue;
    if (std::optional<std::string> name = ExactAnsi(records[i].pPrinterName)) names.insert(*name);
  }
  return names;
}

std::optional<std::set<std::string>> InstalledDriverNames() {
  SpoolerList drivers;
  const bool listed = EnumerateSpoolerList(
      [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrinterDriversA(nullptr, nullptr, 1, buffer, size, needed, returned) != FALSE;
      },
      drivers);
  if (!listed) return std::nullopt;
  std::set<std::string> names;
  const DRIVER_INFO_1A* records = drivers.Records<DRIVER_INFO_1A>();
  for (DWORD i = 0; i < drivers.count; ++i) {
    if (records[i].pName != nullptr) names.insert(records[i].pName);
  }
  return names;
}

bool IsModelDriverInstalled() {
  const std::optional<std::set<std::string>> names = InstalledDriverNames();
  return names && names->count(DRIVER_NAME) != 0;
}

std::set<std::string> StillListedAfterTheirDeletion(std::set<std::string> deleted) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    const std::optional<std::set<std::string>> listed = ListedPrinterNames();
    if (!listed) return {};
    for (auto name = deleted.begin(); name != deleted.end();) {
      name = listed->count(*name) != 0 ? std::next(name) : deleted.erase(name);
    }
    if (deleted.empty() || ::GetTickCount() - start >= kPendingDeletionWaitMs) return deleted;
    ::Sleep(kPendingDeletionPollMs);
  }
}

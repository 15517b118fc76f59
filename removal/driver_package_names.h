#pragma once

// The names of the model's driver package, all composed from the model name (three letters, a
// hyphen, then the rest) and the one-letter suffix of its driver file stems, and where its files
// lie.

#include <optional>
#include <string>
#include <vector>

struct DriverPackageNames {
  std::string formMarker;        // the model without its first four characters: "820wide"
  std::string driverName;        // "KARVELO QTM-820wide"
  std::string driverKey;         // the spooler's key of that driver, version 3
  std::string driverPrinterKey;  // the printer key named after the driver
  std::string monitorName;       // the model without its hyphen: "KVL Language Monitor QTM820wide"
  std::string monitorKey;
  std::string processorName;     // "KVL PRINT PROCESSOR QTM820wide"
  std::string processorKey;
  std::string uninstallKey;

  std::string monitorFile;       // "MON820w.DLL", in the system directory
  std::string processorFile;     // "PRO820w.dll", in the print processor directory
  std::string driverFileStem;    // "QTM820wE"
  std::string uiFileStem;        // "UI820w"
  std::string unidrvFileStem;    // "UNI820w"
};

// Nothing when the model name is too short to have the shape the names are cut from: with fewer
// than five characters its part after the hyphen would be empty, and every form name contains an
// empty text.
std::optional<DriverPackageNames> ComposeDriverPackageNames(const char* model, const char* letter);

// The package's thirteen files with their directories, in the order they are deleted. A file whose
// directory the system cannot name has no path: one built on nothing would start at the root of
// the current drive.
std::vector<std::optional<std::string>> DriverPackageFilePaths(const DriverPackageNames& names);

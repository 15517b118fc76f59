#pragma once

// Where the model's driver package lies on an installed machine, spelled out here on its own so
// that what is staged and checked does not follow from the uninstaller's own name composition.

#include <string>
#include <vector>

#include "tools/stager/installation.h"

namespace stager {

inline constexpr char kDriverKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\"
    "KARVELO QTM-820wide";
inline constexpr char kDriverPrinterKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\KARVELO QTM-820wide";
inline constexpr char kMonitorKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVL Language Monitor QTM820wide";
inline constexpr char kProcessorName[] = "KVL PRINT PROCESSOR QTM820wide";
inline constexpr char kProcessorKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\"
    "KVL PRINT PROCESSOR QTM820wide";
inline constexpr char kPrinterClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kDataDirectoryName[] = "karveloqtm_820wide6ea0";
// The driver of a sibling model of the maker, whose printers and family INF are no business of the
// model's uninstaller.
inline constexpr char kSiblingDriverName[] = "KARVELO QTM-820narrow";

// The thirteen files of the model's driver, in the order they are to be deleted.
std::vector<FileSpec> ModelDriverFiles();
// Files that look like the model's but are not its to delete: another driver letter, and the
// model's file in another version folder of the driver directory.
std::vector<FileSpec> DriverFileDecoys();

// The full path of a staged file; empty when the system cannot name its folder.
std::string FullPath(const FileSpec& file);
std::string FolderPath(Folder folder);

// The driver's data directory: the printer driver directory's folder of that name.
std::string DataDirectoryPath();

}  // namespace stager

#include "tools/stager/package_layout.h"

#include <optional>

#include "win/well_known_dirs.h"

namespace stager {

std::vector<FileSpec> ModelDriverFiles() {
  return {
      {Folder::System, "MON820w.DLL"},          {Folder::PrintProcessor, "PRO820w.dll"},
      {Folder::PrinterDriver, "3\\QTM820wE.dll"}, {Folder::Windows, "QTM820wE.dll"},
      {Folder::PrinterDriver, "3\\QTM820wE.gpd"}, {Folder::Windows, "QTM820wE.gpd"},
      {Folder::PrinterDriver, "3\\QTM820wE.BUD"}, {Folder::PrinterDriver, "3\\UI820w.dll"},
      {Folder::Windows, "UI820w.dll"},          {Folder::PrinterDriver, "3\\UNI820w.dll"},
      {Folder::Windows, "UNI820w.dll"},         {Folder::PrinterDriver, "3\\UI820w.INI"},
      {Folder::Windows, "UI820w.INI"},
  };
}

std::vector<FileSpec> DriverFileDecoys() {
  return {
      {Folder::PrinterDriver, "3\\QTM820wF.dll"},
      {Folder::Windows, "QTM820wF.gpd"},
      {Folder::PrinterDriver, "2\\QTM820wE.dll"},
      {Folder::PrinterDriver, "QTM820wE.BUD"},
  };
}

std::string FolderPath(Folder folder) {
  std::optional<std::string> path;
  switch (folder) {
    case Folder::System: path = SystemDirectory(); break;
    case Folder::PrintProcessor: path = PrintProcessorDirectory(); break;
    case Folder::PrinterDriver: path = PrinterDriverDirectory(); break;
    case Folder::Windows: path = WindowsDirectory(); break;
    case Folder::Inf: path = InfDirectory(); break;
  }
  return path.value_or(std::string());
}

std::string FullPath(const FileSpec& file) {
  const std::string folder = FolderPath(file.folder);
  return folder.empty() ? folder : folder + "\\" + file.relativePath;
}

std::string DataDirectoryPath() {
  const std::string driverDirectory = FolderPath(Folder::PrinterDriver);
  return driverDirectory.empty() ? driverDirectory : driverDirectory + "\\" + kDataDirectoryName;
}

}  // namespace stager

#include "tools/stager/installation.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"

namespace stager {

bool StageMonitorKey(std::string& error) {
  if (!WriteRegistryString(HKEY_LOCAL_MACHINE, kMonitorKey, "Driver", "MON820w.DLL")) {
    return (error = LastErrorText("writing the monitor key")), false;
  }
  return true;
}

bool StageProcessorKey(std::string& error) {
  if (!WriteRegistryString(HKEY_LOCAL_MACHINE, kProcessorKey, "Driver", "PRO820w.dll")) {
    return (error = LastErrorText("writing the print processor key")), false;
  }
  return true;
}

bool StageFile(const FileSpec& file, std::string& error) {
  const std::string path = FullPath(file);
  if (path.empty()) return (error = "no folder for " + file.relativePath), false;
  if (!MakeDirectories(path.substr(0, path.find_last_of('\\')))) {
    return (error = LastErrorText("creating the folder of " + path)), false;
  }
  if (!WriteFileText(path, "staged file " + file.relativePath + "\r\n")) {
    return (error = LastErrorText("writing " + path)), false;
  }
  return true;
}

}  // namespace stager

#include <string>

#include "removal/printer_class_keys.h"
#include "removal/registry_text.h"
#include "removal/removal.h"

RemovalResult CollectDriverInfFiles(StringList& infFiles) {
  infFiles.clear();
  RemovalResult result;
  result.FailUnlessGone(static_cast<DWORD>(ForEachModelClassKey([&](HKEY key, const std::string&) {
    // A missing InfPath still adds an entry; an empty one names no file.
    infFiles.push_front(ReadValueText(key, "InfPath").value_or(std::string()));
    return true;
  })));
  return result;
}

#pragma once

// What a 32-bit Windows program imports statically, read from its PE file rather than asked of
// the loader: the import directory's DLLs and the functions named for each.

#include <optional>
#include <string>
#include <vector>

namespace pe {

struct Import {
  std::string dll;       // as the file spells it
  std::string function;  // "#<ordinal>" for a function imported by ordinal
};

struct ImportTable {
  std::vector<Import> imports;
  // Delay-loaded imports are bound on first call, by a table of their own.
  bool hasDelayLoadedImports = false;
};

// Nothing when the file cannot be read or is not a well-formed PE32 image.
std::optional<ImportTable> ReadImportTable(const std::string& path);

}  // namespace pe

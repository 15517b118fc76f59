#include "win/system_library.h"

#include <string>

#include "win/well_known_dirs.h"

HMODULE LoadSystemLibrary(const char* fileName) {
  const std::optional<std::string> systemDirectory = SystemDirectory();
  if (!systemDirectory) return nullptr;
  const std::string path = *systemDirectory + "\\" + fileName;
  return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSideBySideLibrary(const char* fileName) {
  // The loader looks a name up in the activation context before anything else (side-by-side
  // manifest redirection comes ahead of the loaded-module list, the known DLLs and every folder
  // of the search order), and with a manifest it ignores .local redirection files. A name the
  // context redirects is therefore loaded from the side-by-side store whatever lies beside the
  // program or in its current folder. A name it does not redirect (the assembly missing from a
  // trimmed embedded image, say) would be searched for from the program's folder on: that one is
  // taken from the system directory instead.
  ACTCTX_SECTION_KEYED_DATA redirection{};
  redirection.cbSize = sizeof(redirection);
  if (::FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, fileName, &redirection)) {
    return ::LoadLibraryExA(fileName, nullptr, 0);
  }
  return LoadSystemLibrary(fileName);
}

SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
  return ExportLookup(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
}

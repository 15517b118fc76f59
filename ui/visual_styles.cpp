#include "ui/visual_styles.h"

#include "win/system_library.h"

const VisualStyles& SystemVisualStyles() {
  static const VisualStyles styles = [] {
    VisualStyles loaded;
    HMODULE library = LoadSystemLibrary("uxtheme.dll");
    if (library == nullptr) return loaded;
    loaded.openThemeData = ExportLookup(library, "OpenThemeData");
    loaded.closeThemeData = ExportLookup(library, "CloseThemeData");
    loaded.drawThemeBackground = ExportLookup(library, "DrawThemeBackground");
    return loaded;
  }();
  return styles;
}

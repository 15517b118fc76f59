#pragma once

// Reads an extended dialog template from a program's resources, so that a test can hold the
// dialog on screen against what its template says.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace robot {

struct DialogItemTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  int id = 0;
  std::string className;  // the predefined classes by name: "Button", "Static", ...
  std::string text;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int width = 0, height = 0;
  std::string caption;
  int pointSize = 0;
  std::string fontName;
  std::vector<DialogItemTemplate> items;
  std::vector<BYTE> bytes;  // the template as stored
};

std::optional<DialogTemplate> LoadDialogTemplate(const std::string& modulePath, int templateId);

// Converts dialog units to pixels the way a dialog made from the template does, through a hidden
// copy of it.
class DialogUnits {
 public:
  static std::optional<DialogUnits> For(const DialogTemplate& dialogTemplate);
  ~DialogUnits();
  DialogUnits(DialogUnits&& other) noexcept;
  DialogUnits(const DialogUnits&) = delete;
  DialogUnits& operator=(const DialogUnits&) = delete;
  DialogUnits& operator=(DialogUnits&&) = delete;

  // The pixel offset of a dialog-unit offset (MapDialogRect of one corner).
  POINT ToPixels(int x, int y) const;

 private:
  explicit DialogUnits(HWND window) : window_(window) {}
  HWND window_;
};

}  // namespace robot

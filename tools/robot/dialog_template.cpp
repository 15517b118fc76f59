#include "tools/robot/dialog_template.h"

#include <commctrl.h>

#include <cstring>

namespace robot {

namespace {

// Walks the template's fields in order; any read past the end marks the reader as failed.
class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}
  bool Failed() const { return failed_; }

  template <typename T>
  T Read() {
    T value{};
    if (offset_ + sizeof(T) > bytes_.size()) {
      failed_ = true;
      return value;
    }
    std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }

  std::string ReadString() {
    std::wstring wide;
    for (WCHAR c = Read<WCHAR>(); c != 0 && !failed_; c = Read<WCHAR>()) wide.push_back(c);
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], size, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
  }

  // A string or, after 0xFFFF, an ordinal.
  std::string ReadNameOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    const size_t start = offset_;
    if (Read<WORD>() == 0xFFFF) {
      *ordinal = Read<WORD>();
      return std::string();
    }
    offset_ = start;
    return ReadString();
  }

  void AlignTo(size_t boundary) { offset_ = (offset_ + boundary - 1) / boundary * boundary; }
  void Skip(size_t count) { offset_ += count; }

 private:
  const std::vector<BYTE>& bytes_;
  size_t offset_ = 0;
  bool failed_ = false;
};

std::string PredefinedClassName(WORD ordinal) {
  switch (ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(ordinal);
  }
}

INT_PTR CALLBACK SilentDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

std::optional<DialogTemplate> LoadDialogTemplate(const std::string& modulePath, int templateId) {
  HMODULE module = ::LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return std::nullopt;
  DialogTemplate result;
  if (HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5))) {
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (data != nullptr) result.bytes.assign(data, data + size);
  }
  ::FreeLibrary(module);

  TemplateReader reader(result.bytes);
  const WORD version = reader.Read<WORD>();
  const WORD signature = reader.Read<WORD>();
  if (version != 1 || signature != 0xFFFF) return std::nullopt;  // only extended templates
  (void)reader.Read<DWORD>();                                     // help id
  result.exStyle = reader.Read<DWORD>();
  result.style = reader.Read<DWORD>();
  const WORD itemCount = reader.Read<WORD>();
  (void)reader.Read<short>();
  (void)reader.Read<short>();
  result.width = reader.Read<short>();
  result.height = reader.Read<short>();
  WORD ordinal;
  (void)reader.ReadNameOrOrdinal(&ordinal);  // menu
  (void)reader.ReadNameOrOrdinal(&ordinal);  // class
  result.caption = reader.ReadString();
  if (result.style & (DS_SETFONT | DS_SHELLFONT)) {
    result.pointSize = reader.Read<WORD>();
    (void)reader.Read<WORD>();  // weight
    (void)reader.Read<BYTE>();  // italic
    (void)reader.Read<BYTE>();  // character set
    result.fontName = reader.ReadString();
  }
  for (WORD i = 0; i < itemCount && !reader.Failed(); ++i) {
    reader.AlignTo(4);
    DialogItemTemplate item;
    (void)reader.Read<DWORD>();  // help id
    item.exStyle = reader.Read<DWORD>();
    item.style = reader.Read<DWORD>();
    item.x = reader.Read<short>();
    item.y = reader.Read<short>();
    item.width = reader.Read<short>();
    item.height = reader.Read<short>();
    item.id = static_cast<int>(reader.Read<DWORD>());
    item.className = reader.ReadNameOrOrdinal(&ordinal);
    if (ordinal != 0) item.className = PredefinedClassName(ordinal);
    item.text = reader.ReadNameOrOrdinal(&ordinal);
    reader.Skip(reader.Read<WORD>());  // creation data
    result.items.push_back(item);
  }
  if (reader.Failed()) return std::nullopt;
  return result;
}

std::optional<DialogUnits> DialogUnits::For(const DialogTemplate& dialogTemplate) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  std::vector<BYTE> hidden = dialogTemplate.bytes;
  // Extended template: version, signature, help id, extended style, then the style.
  const DWORD style = dialogTemplate.style & ~static_cast<DWORD>(WS_VISIBLE);
  std::memcpy(hidden.data() + 12, &style, sizeof(style));
  HWND window = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEA>(hidden.data()),
                                             nullptr, &SilentDialogProc, 0);
  if (window == nullptr) return std::nullopt;
  return DialogUnits(window);
}

DialogUnits::~DialogUnits() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

DialogUnits::DialogUnits(DialogUnits&& other) noexcept : window_(other.window_) {
  other.window_ = nullptr;
}

POINT DialogUnits::ToPixels(int x, int y) const {
  RECT rect{x, y, x, y};
  ::MapDialogRect(window_, &rect);
  return POINT{rect.left, rect.top};
}

}  // namespace robot

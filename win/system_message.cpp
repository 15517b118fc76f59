#include "win/system_message.h"

#include "win/unique_handle.h"

std::string SystemMessageText(DWORD code) {
  const DWORD languages[] = {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 0};
  for (DWORD language : languages) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, language, reinterpret_cast<char*>(&text), 0, nullptr);
    const ScopedLocalMemory owner(text);
    if (length != 0 && text != nullptr) return std::string(text, length);
  }
  return std::string();
}

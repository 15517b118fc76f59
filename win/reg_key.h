#pragma once

#include <windows.h>

// An owned registry key handle. Predefined root keys are never closed through it.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept;
  RegKey& operator=(RegKey&& other) noexcept;

  // Adopts an open key handle (for calls that hand one back, such as a registry connection).
  explicit RegKey(HKEY key) : key_(key) {}

  // Returns the registry's status; on failure the object holds no key.
  LONG Open(HKEY root, const char* subKey, REGSAM access);
  LONG Create(HKEY root, const char* subKey, REGSAM access);

  void Close();
  HKEY Release();
  HKEY Get() const { return key_; }
  bool IsValid() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

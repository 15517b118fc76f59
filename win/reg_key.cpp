#include "win/reg_key.h"

#include <utility>

namespace {

bool IsPredefined(HKEY key) {
  // The predefined root handles are small values with the top bit set.
  return (reinterpret_cast<ULONG_PTR>(key) & 0x80000000u) != 0 &&
         reinterpret_cast<ULONG_PTR>(key) <= 0x800000FFu;
}

}  // namespace

RegKey::RegKey(RegKey&& other) noexcept : key_(other.Release()) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = other.Release();
  }
  return *this;
}

LONG RegKey::Open(HKEY root, const char* subKey, REGSAM access) {
  Close();
  HKEY key = nullptr;
  const LONG status = ::RegOpenKeyExA(root, subKey, 0, access, &key);
  if (status == ERROR_SUCCESS) key_ = key;
  return status;
}

LONG RegKey::Create(HKEY root, const char* subKey, REGSAM access) {
  Close();
  HKEY key = nullptr;
  const LONG status = ::RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                        nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) key_ = key;
  return status;
}

void RegKey::Close() {
  HKEY key = Release();
  if (key != nullptr && !IsPredefined(key)) (void)::RegCloseKey(key);
}

HKEY RegKey::Release() { return std::exchange(key_, nullptr); }

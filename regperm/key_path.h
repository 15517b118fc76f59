#pragma once

// Textual registry key paths: an optional machine ("\\name"), a hive name or alias, and a subkey,
// opened to a key handle locally or through a registry connection.

#include <windows.h>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "win/reg_key.h"

// Every key path text, the incoming one included, holds at most 511 characters and a terminator.
inline constexpr std::size_t KEY_PATH_TEXT_SIZE = 512;
inline constexpr std::size_t MAX_KEY_PATH_LENGTH = KEY_PATH_TEXT_SIZE - 1;
using KeyPathBuffer = std::array<char, KEY_PATH_TEXT_SIZE>;

// Keys are opened to read and rewrite their access list: READ_CONTROL | WRITE_DAC |
// KEY_ENUMERATE_SUB_KEYS. SetSecurityInfo refuses a handle without WRITE_DAC with 5.
inline constexpr REGSAM KEY_PATH_ACCESS = READ_CONTROL | WRITE_DAC | KEY_ENUMERATE_SUB_KEYS;

// Where OpenKeyPath writes one text result: a 512-byte buffer the caller supplies, or, when the
// caller supplies none, one that OpenKeyPath allocates and this object then owns and releases.
class KeyPathText {
 public:
  KeyPathText() = default;
  explicit KeyPathText(KeyPathBuffer& callerBuffer) : buffer_(&callerBuffer) {}
  KeyPathText(const KeyPathText&) = delete;
  KeyPathText& operator=(const KeyPathText&) = delete;

  bool HasBuffer() const { return buffer_ != nullptr; }
  bool IsAllocated() const { return owned_ != nullptr; }
  // The text; empty while there is no buffer.
  const char* c_str() const { return buffer_ != nullptr ? buffer_->data() : ""; }

  // Allocates a zero-filled buffer when the caller supplied none; false when memory is short.
  bool EnsureBuffer();
  // Writes the pieces one after another, cut at 511 characters; without a buffer, nothing.
  void Assign(std::initializer_list<std::string_view> pieces);

 private:
  KeyPathBuffer* buffer_ = nullptr;
  std::unique_ptr<KeyPathBuffer> owned_;
};

// What one resolution produced. The texts are written only when the resolution succeeds; the key
// is set as soon as it is open and closed with this object (a predefined root is never closed).
struct KeyPathResult {
  KeyPathText machinePrefix;  // empty for this machine, else "\\" and the machine name
  KeyPathText resolvedPath;   // [machine prefix "\"] hive token as written ["\" subkey]
  RegKey keyHandle;
};

// Returns 0, 8 (ERROR_NOT_ENOUGH_MEMORY) when a result buffer cannot be allocated, 87
// (ERROR_INVALID_PARAMETER) for a path that is too long, has no hive token, names no known hive,
// or asks for HKCU or HKCR of a machine, else the code of the registry call that failed.
LONG OpenKeyPath(const char* keyPath, KeyPathResult& result);

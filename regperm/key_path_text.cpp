#include "regperm/key_path.h"

#include <algorithm>
#include <new>

bool KeyPathText::EnsureBuffer() {
  if (buffer_ != nullptr) return true;
  owned_.reset(new (std::nothrow) KeyPathBuffer{});
  buffer_ = owned_.get();
  return buffer_ != nullptr;
}

void KeyPathText::Assign(std::initializer_list<std::string_view> pieces) {
  if (buffer_ == nullptr) return;
  std::size_t length = 0;
  for (std::string_view piece : pieces) {
    const std::size_t count = std::min(piece.size(), MAX_KEY_PATH_LENGTH - length);
    std::copy_n(piece.data(), count, buffer_->data() + length);
    length += count;
  }
  (*buffer_)[length] = '\0';
}

#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

// The next `separator`-separated token of `text` from `position` on, empty tokens skipped.
// `position` is left on the separator that ends the token, or at the end of the text; an empty
// result means no token is left.
inline std::string_view NextToken(std::string_view text, char separator, std::size_t& position) {
  const std::size_t start = text.find_first_not_of(separator, position);
  if (start == std::string_view::npos) {
    position = text.size();
    return {};
  }
  position = std::min(text.find(separator, start), text.size());
  return text.substr(start, position - start);
}

// What follows the separator at `position`, or nothing when `position` is at the end.
inline std::string_view RestAfter(std::string_view text, std::size_t position) {
  return position < text.size() ? text.substr(position + 1) : std::string_view();
}

#include "regperm/permission_spec.h"

#include <cctype>
#include <string_view>

#include "regperm/tokens.h"

namespace {

char UpperCharAt(std::string_view field, std::size_t index) {
  return index < field.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(field[index]))) : '\0';
}

bool ReadsAccessLetters(ACCESS_MODE mode) {
  return mode == GRANT_ACCESS || mode == SET_ACCESS || mode == DENY_ACCESS;
}

}  // namespace

LONG ParsePermissionSpec(const char* specText, PermissionSpec& spec) {
  if (specText == nullptr) return ERROR_INVALID_PARAMETER;
  const std::string_view text(specText);
  std::size_t position = 0;

  // The switch field's first character is not looked at; "/PG" and "-pg" are the same switch.
  const std::string_view switchField = NextToken(text, ':', position);
  if (switchField.empty()) return ERROR_INVALID_PARAMETER;
  ACCESS_MODE mode = NOT_USED_ACCESS;
  if (UpperCharAt(switchField, 1) == 'P') {
    switch (UpperCharAt(switchField, 2)) {
      case 'D': mode = DENY_ACCESS; break;
      case 'G': mode = GRANT_ACCESS; break;
      case 'R': mode = REVOKE_ACCESS; break;
      case 'S': mode = SET_ACCESS; break;
      default: return ERROR_INVALID_PARAMETER;
    }
  }

  const std::string_view trustee = NextToken(text, ':', position);
  if (trustee.empty()) return ERROR_INVALID_PARAMETER;

  DWORD mask = 0;
  if (ReadsAccessLetters(mode)) {
    // The letters begin right after the one colon that ends the trustee field.
    const std::string_view letters = RestAfter(text, position);
    if (letters.empty()) return ERROR_INVALID_PARAMETER;
    // Odd or unrecognised letters do not stop the permission specification: the mask they give is used.
    (void)ParseAccessLetters(letters.data(), mask);
  }

  spec.accessMode = mode;
  spec.trusteeName.assign(trustee.data(), trustee.size());
  spec.accessMask = mask;
  return ERROR_SUCCESS;
}

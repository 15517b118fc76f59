#include <cstring>
#include <string_view>

#include "regperm/permission_spec.h"

namespace {

struct AccessLetterCode {
  const char* letters;
  DWORD mask;
};

// Compared in this order. Wr is KEY_WRITE together with KEY_CREATE_LINK.
const AccessLetterCode ACCESS_LETTER_CODES[] = {
    {"Fc", KEY_ALL_ACCESS},
    {"Rd", KEY_READ},
    {"Wr", KEY_WRITE | KEY_CREATE_LINK},
};

}  // namespace

LONG ParseAccessLetters(const char* accessLetters, DWORD& accessMask) {
  accessMask = 0;
  if (accessLetters == nullptr) return ERROR_INVALID_PARAMETER;
  const std::string_view letters(accessLetters, strnlen(accessLetters, MAX_ACCESS_LETTERS_LENGTH + 1));
  if (letters.size() > MAX_ACCESS_LETTERS_LENGTH || letters.size() % 2 != 0) return ERROR_INVALID_PARAMETER;

  LONG status = ERROR_SUCCESS;
  for (std::size_t at = 0; at < letters.size(); at += 2) {
    bool recognised = false;
    for (const AccessLetterCode& code : ACCESS_LETTER_CODES) {
      if (_strnicmp(letters.data() + at, code.letters, 2) == 0) {
        accessMask |= code.mask;
        recognised = true;
        break;
      }
    }
    if (!recognised) status = ERROR_INVALID_PARAMETER;
  }
  return status;
}

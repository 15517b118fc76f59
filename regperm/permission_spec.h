#pragma once

// Permission specifications: "/P<mode>:<trustee>:<access letters>", for example "/PG:Everyone:Fc"
// (grant Everyone full control). Modes: D deny, G grant, R revoke, S set; a switch whose second
// character is not P leaves the entry unused. Access letters: Fc full control, Rd read,
// Wr write, in pairs, any case.

#include <windows.h>
#include <aclapi.h>

#include <cstddef>
#include <string>

#include "regperm/access_entry.h"

// Access letters hold at most 511 characters.
inline constexpr std::size_t MAX_ACCESS_LETTERS_LENGTH = 511;

// Explicit entries made from a specification are inherited by subkeys.
inline constexpr DWORD PERMISSION_INHERITANCE = CONTAINER_INHERIT_ACE;

struct PermissionSpec {
  ACCESS_MODE accessMode = NOT_USED_ACCESS;
  std::string trusteeName;
  DWORD accessMask = 0;
};

// Writes `accessMask` on every path: the OR of the recognised pairs. Returns 0 when every pair is
// recognised, else 87; letters of odd length, or longer than 511, give mask 0.
LONG ParseAccessLetters(const char* accessLetters, DWORD& accessMask);

// Returns 0 with `spec` filled, or 87 for a switch with P and an unknown mode letter, a missing
// switch or trustee field, or a grant, set or deny without access letters. Unrecognised access
// letters are not an error: the mask they give is used.
LONG ParsePermissionSpec(const char* specText, PermissionSpec& spec);

// Parses `specText`, opens the key that `keyPath` names (see OpenKeyPath) and merges the entry
// into its DACL. Returns 0, the parse's 87, OpenKeyPath's status or the security call's code.
// When it succeeds and `saved` is given, `saved` keeps the key open with its previous DACL.
LONG ApplyPermissionSpec(const char* keyPath, const char* specText, SavedDacl* saved = nullptr);

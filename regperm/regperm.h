#pragma once

// The registry permission tool: resolves textual key paths (with machine and hive), rewrites a
// key's access list from a permission specification, and deletes keys whose access list stands
// in the way. ForceDeleteKey is the entry point for the rest of the program.

#include <windows.h>

#include "regperm/access_entry.h"
#include "regperm/key_path.h"
#include "regperm/permission_spec.h"

// Grants Everyone full control of the key `keyPath` names (PERMISSION_SPEC), then deletes
// `subKey` with everything below it from the local HKEY_LOCAL_MACHINE, whatever the grant did.
// When the deletion fails, the granted key gets its previous DACL back. Returns the deletion's
// status.
LONG ForceDeleteKey(const char* keyPath, const char* subKey);

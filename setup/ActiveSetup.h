// The machine's Active Setup entry for Morvane: at each account's next sign-in, Windows runs its
// command for that account, unelevated, once per version of the entry.
#pragma once
#include <windows.h>
#include "Str.h"

// The entry's Version for the product version "1.93": "1,93,0,n", n counting the installations of
// this version since the entry was written first. Windows runs the command again for an account
// whose last run was for a lower Version: after an upgrade, and after a reinstallation (whose
// removal of the previous installation took the package from every account).
CString ActiveSetupVersion(LPCSTR previous);
// Writes the entry with the command and the next Version; false when the key cannot be written.
bool WriteActiveSetupEntry(LPCSTR command);
void DeleteActiveSetupEntry();
bool HasActiveSetupEntry();

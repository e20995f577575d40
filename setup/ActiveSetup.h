// The machine's Active Setup entry for Morvane: at each account's next sign-in, Windows runs its
// command for that account, unelevated, once per version of the entry.
#pragma once
#include <windows.h>
#include "Str.h"

// "1,93,0,0" for the product version "1.93": a new version runs the command again for everyone.
CString ActiveSetupVersion();
// Writes the entry with the command; false when the key cannot be written.
bool WriteActiveSetupEntry(LPCSTR command);
void DeleteActiveSetupEntry();
bool HasActiveSetupEntry();

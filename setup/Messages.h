// The installer's failure box for a failure that the installation cannot continue after.
#pragma once
#include <windows.h>
#include "DialogMessageBox.h"

// A plain box (no owner, the caption given, the hand icon); ends the process with exit code 1.
[[noreturn]] void FailInstallation(LPCSTR text, LPCSTR caption);

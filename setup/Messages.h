// The installer's plain message box: no owner window, the caption given or else the application
// title, exactly the icon asked for.
#pragma once
#include <windows.h>

int PlainMessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);
// A plain box for a failure that the installation cannot continue after; ends the process with 1.
[[noreturn]] void FailInstallation(LPCSTR text, LPCSTR caption);

// The application's own message box: owned by the program's active window, captioned with the
// application title. A plain OK box without an icon gets the exclamation icon.
#pragma once
#include <windows.h>

int AppMessageBox(LPCTSTR text, UINT type = MB_OK);

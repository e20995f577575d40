// The message boxes of both programs.
#pragma once
#include <windows.h>

// A box owned by the window (none when null), with the caption given or else the application title,
// and exactly the buttons and icon that the type asks for.
int ShowMessageBox(HWND owner, LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);

// The application's own message box: owned by the program's active window, captioned with the
// application title. A plain OK box without an icon gets the exclamation icon.
int AppMessageBox(LPCTSTR text, UINT type = MB_OK);

// Failures the file-list writers report to the user themselves.
#pragma once
#include <windows.h>

// A message box owned by the window, with the module's title as caption; an OK button only unless
// the type asks for more.
int ShowUserMessage(HWND owner, LPCWSTR text, UINT type = MB_OK);

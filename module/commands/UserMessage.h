// Failures the file-list writers report to the user themselves.
#pragma once
#include <windows.h>

// A message box owned by the window, with an OK button only and the module's title as caption.
void ShowUserMessage(HWND owner, LPCWSTR text);

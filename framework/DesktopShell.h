// Starting a program through the desktop's own Explorer: the program runs as the user whose desktop
// it is, at that user's level (unelevated, whatever the caller's token), and may come to the front.
#pragma once
#include <windows.h>

// ShellExecute of program with arguments (either may be long), its folder as the current one, asked
// of Explorer's desktop window. Fails where no Explorer shows the desktop.
HRESULT StartFromDesktop(LPCWSTR program, LPCWSTR arguments, int show);

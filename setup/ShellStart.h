// Starting a program as the user whose desktop this is. An elevated installer's own processes run
// as the account that was elevated, which after an over-the-shoulder elevation is an administrator,
// not the user at the desk; the desktop's shell (Explorer) runs as that user, unelevated.
#pragma once
#include <windows.h>

// Asks the desktop's shell to start the program with the arguments, hidden, and returns without
// waiting for it; false when the shell could not be reached or refused.
bool StartFromDesktopShell(LPCSTR program, LPCSTR arguments);

// What StartFromDesktopShell does; tests put their own in. Returns the one it replaces.
using DesktopShellStarter = bool (*)(LPCSTR program, LPCSTR arguments);
DesktopShellStarter SetDesktopShellStarter(DesktopShellStarter starter);

// Windows 11's first-level context menu takes only commands that a package with identity declares.
// The installer registers the signed sparse package (Morvane.msix) for the installing user, with the
// installation folder as its external location, after trusting its signing certificate (Morvane.cer).
#pragma once
#include <windows.h>
#include "ProgramRunner.h"

constexpr char kModernMenuAddFailure[] = "Could not add Morvane to the Windows 11 context menu. Morvane is still "
                                         "available in the full context menu, under \"Show more options\".";
constexpr char kModernMenuRemovalFailure[] = "Could not remove Morvane from the Windows 11 context menu.";

// Windows build 22000 or later. Wine reports older builds: tests replace the build query.
bool HasModernMenu();
extern DWORD (*g_windowsBuild)();

// folder: the installation folder, ending in a backslash. Trusts the certificate there (when the
// build made one) and adds the package; false when either fails.
bool AddToModernMenu(LPCSTR folder);
// Removes the package by its identity name and the certificate the folder's Morvane.cer names;
// false when either fails.
bool RemoveFromModernMenu(LPCSTR folder);

// PowerShell, started from the system folder without a window, running the script.
ProgramRun PowerShellRun(LPCWSTR script);

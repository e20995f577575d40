// Windows 11's first-level context menu takes only commands that a package with identity declares.
// The installer trusts the signed sparse package's certificate (Morvane.cer), registers the package
// (Morvane.msix) with the folder "Modern" of the installation folder as its external location: for
// the user at the desk now, and through Active Setup for every account at its next sign-in.
#pragma once
#include <windows.h>
#include "Str.h"

constexpr char kModernMenuAddFailure[] = "Could not add Morvane to the Windows 11 context menu. Morvane is still "
                                         "available in the full context menu, under \"Show more options\".";
constexpr char kModernMenuAtSignIn[] = "Morvane could not be added to your Windows 11 context menu now. It will be "
                                       "added at your next sign-in.";
constexpr char kModernMenuRemovalFailure[] = "Could not remove Morvane from the Windows 11 context menu.";

// Windows build 22000 or later.
bool HasModernMenu();

// The "Modern" folder of the installation folder; both end in a backslash.
CString ModernFolder(LPCSTR folder);

enum class ModernOutcome {
    Started,     // the registration for the user at the desk is on its way
    AtSignIn,    // Windows setup, Safe Mode or run as the system: every account gets it at its next sign-in
    Deferred,    // the desktop's shell could not be reached: the user gets it at the next sign-in
    Failed,      // no package, or the certificate or the Active Setup entry could not be written
};

// folder: the installation folder, ending in a backslash, with the package and the "Modern" folder.
// Trusts the certificate there (when the build made one), writes the Active Setup entry and starts
// the registration for the user at the desk, then tells the shell.
ModernOutcome AddToModernMenu(LPCSTR folder);
// Removes the package for every account and the certificate the folder's Morvane.cer names, then
// tells the shell; false when either fails. The Active Setup entry stays for the installation that
// may follow (removal deletes it).
bool RemoveFromModernMenu(LPCSTR folder);

enum class PackageState { Registered, NotRegistered, Unknown };
// Whether the package is registered for the user running the installer.
PackageState ModernPackageState();

// The system's query of a package family's packages (GetPackagesByPackageFamily), null when the
// system has none; tests put their own in. Returns the one it replaces.
using PackagesByFamily = LONG(WINAPI*)(PCWSTR family, UINT32* count, PWSTR* names, UINT32* length, WCHAR* buffer);
PackagesByFamily SetPackagesByFamily(PackagesByFamily query);

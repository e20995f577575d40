// Starting the programs that commands open (Explorer, Notepad). A program is always named by its
// full path: a bare name would be looked up in the host's own folder and current folder first.
#pragma once
#include <windows.h>
#include "Str.h"

struct ProgramLaunch {
    CString application;  // full path of the program file
    CString commandLine;
    BOOL inheritHandles = FALSE;
    DWORD startFlags = 0;  // STARTUPINFO flags
};

// "<folder>\name" for the shared Windows folder or the system folder; empty when the folder cannot
// be had.
CString WindowsFolderProgram(LPCWSTR name);
CString SystemFolderProgram(LPCWSTR name);

// Starts the program; nothing waits for it.
void StartProgram(const ProgramLaunch& launch);

// What StartProgram runs: process creation, unless a test puts its own in to see what would be
// started; null restores it. Returns the one it replaces.
using ProgramStarter = void (*)(const ProgramLaunch& launch);
ProgramStarter SetProgramStarter(ProgramStarter starter);

// Running a system program to its end, within a time limit, judged by its exit code.
#pragma once
#include <windows.h>
#include "Str.h"

struct ProgramRun {
    CString application;  // full path of the program file
    CString commandLine;
    BOOL inheritHandles = FALSE;
    DWORD creationFlags = 0;
    DWORD timeoutMs = 0;
};

// "<system folder>\<relative path>"; empty when the folder cannot be had.
CString SystemFolderProgram(LPCSTR relativePath);

// True when the program ran and ended within the time limit with exit code 0.
bool RunProgram(const ProgramRun& run);

// What RunProgram does: process creation and a wait, unless a test puts its own in to see what would
// be run and to answer for it; null restores it. Returns the one it replaces.
using ProgramRunner = bool (*)(const ProgramRun& run);
ProgramRunner SetProgramRunner(ProgramRunner runner);

// What the installer does, decided once from its command line.
#pragma once
#include <windows.h>

enum class SetupMode { Wizard, Remove, Check, Usage };

// The text after the program name and the blanks that follow it.
LPCSTR CommandLineArguments(LPCSTR commandLine);
// "/u" and "/c" in any letter case, compared as the whole text; empty runs the wizard.
SetupMode ClassifyArguments(LPCSTR arguments);

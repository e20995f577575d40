// The installation, one step per call: the previous version goes, the program files are copied
// from the installer's folder, the module registers itself and the uninstall entry is written.
#pragma once
#include <windows.h>

// Runs the step the counter names. True ("continue") after a step that advanced the counter;
// false once the sequence is finished. Copy, registration and previous-version failures end the
// process with exit code 1.
bool RunInstallStep(LPCSTR destination, UINT& step);

// Deletes the files of a previous version: in the folder of the registered module, else in the
// folder that path (the destination followed by "\.") names. Files in sourceFolder that the
// installation copies are never deleted. Ends the process when a deletion cannot be arranged.
void RemovePreviousVersion(LPCSTR path, LPCSTR sourceFolder);

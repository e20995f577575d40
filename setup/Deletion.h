// Deleting the installer's files now or at the next restart, and registry key trees.
#pragma once
#include <windows.h>
#include "Str.h"

enum class DeleteOutcome {
    Gone,       // nothing remains under the name: deleted, absent, or moved aside for the restart
    AtRestart,  // the file is still there; its deletion at the next restart is arranged
    Failed,     // the file is still there and its deletion at restart could not be arranged
};

DeleteOutcome DeleteOrSchedule(LPCSTR path);
// The paragraph a failure box adds for the file that DeleteOrSchedule could not deal with.
CString NotScheduledNote(LPCSTR path);

// Removes an empty folder, or arranges its removal at the next restart on the NT family when files
// moved aside still hold it (the restart removes it once they are gone).
void DeleteFolderOrSchedule(LPCSTR folder);

// Deletes parent\subkey with everything below it: 0 or the registry error of the first failure.
LONG DeleteKeyTree(HKEY parent, LPCSTR subkey);

// The platform queries that decide how a deletion at restart is arranged. Only the Windows 9x
// family keeps its list in "WinInit.ini"; tests replace these to run that path here.
struct RestartPlatform {
    bool (*isNtFamily)();
    UINT (*windowsDirectory)(LPSTR buffer, UINT size);
};
extern RestartPlatform g_restartPlatform;

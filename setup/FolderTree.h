// Folders of the installation path.
#pragma once
#include <windows.h>

// The last backslash of a path, whole multibyte characters scanned; null when there is none.
LPCSTR LastBackslash(LPCSTR path);
bool IsExistingFolder(LPCSTR path);
// Creates the folder with every missing folder above it.
bool CreateFolderTree(LPCSTR path);
// Whether two paths name the same existing file, however each is spelled.
bool IsSameFile(LPCSTR first, LPCSTR second);

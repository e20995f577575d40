// Display texts of file times, registered types and sizes. Each builder writes at most
// capacity - 1 characters and a terminating zero; a longer text is cut.
#pragma once
#include <windows.h>
#include "Str.h"

// "label\tMonday, March 7, 2005" and, with the time, " 1:07 PM"; "label\t(unknown)" for a zero time.
void FormatFileTime(const FILETIME& time, LPWSTR buffer, int capacity, LPCWSTR label, bool withTime);
// The friendly type name of the extension (with or without its dot), else its programmatic type
// name, else "EXT File"; "No association" for an empty extension.
void FormatTypeName(LPCWSTR extension, LPWSTR buffer, int capacity);
// The same name whole. With isShortcutType, also whether the type's key carries "IsShortcut",
// read from the same key while it is open.
CString TypeNameOf(LPCWSTR extension, bool* isShortcutType = nullptr);
// "Size:\t2048 bytes" or "Size:\t3.00MB (3,145,728 bytes)".
void FormatSizeLine(ULONGLONG size, LPWSTR buffer, int capacity);

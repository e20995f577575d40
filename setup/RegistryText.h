// Reading registry values as text into bounded storage.
#pragma once
#include <windows.h>
#include "Str.h"

// Reads a value of at most capacity bytes (terminator included) into buffer, which always ends in
// a terminator afterwards. False when the value is missing or does not fit.
bool ReadValueInto(HKEY key, LPCSTR name, LPSTR buffer, DWORD capacity);
// Reads a value of any type and size as text: the text ends at its first NUL.
bool ReadValueText(HKEY key, LPCSTR name, CString& text);
// Writes a string value with its terminator.
LONG WriteStringValue(HKEY key, LPCSTR name, LPCSTR text);

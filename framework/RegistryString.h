// Reading and writing registry values as text (UTF-16 in the module, 8-bit in setup).
#pragma once
#include <windows.h>
#include "Str.h"

// How much of a value's data is taken as text.
enum class RegistryText {
    Exact,    // REG_SZ or REG_EXPAND_SZ (taken literally) whose data ends in a terminator and holds
              // whole characters; anything else is ERROR_INVALID_DATA
    Loose,    // REG_SZ or REG_EXPAND_SZ: the text up to its first terminator or the end of the data
    AnyType,  // as Loose, whatever the value's type
};

// Reads the value into text. On any failure text keeps what it held, and the Win32 error is returned.
LONG ReadRegistryString(HKEY key, LPCTSTR name, CString& text, RegistryText rule = RegistryText::Exact);
// The same into a buffer of capacity characters, terminator included, which always ends in one
// afterwards: ERROR_MORE_DATA (and an empty buffer) when the text does not fit.
LONG ReadRegistryString(HKEY key, LPCTSTR name, LPTSTR buffer, DWORD capacity, RegistryText rule);
// Writes REG_SZ data with its terminator.
LONG WriteRegistryString(HKEY key, LPCTSTR name, LPCTSTR text);

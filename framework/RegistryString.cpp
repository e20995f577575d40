#include "RegistryString.h"

namespace {

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Takes data of size bytes, read into buffer, as text under rule. The buffer has room for two
// characters past size, zeroed, so an odd last byte and our own terminator always fit.
LONG TakeText(DWORD type, LPTSTR buffer, DWORD size, RegistryText rule)
{
    if (rule != RegistryText::AnyType && !IsStringType(type))
        return ERROR_INVALID_DATA;
    if (rule == RegistryText::Exact && size != 0 &&
        ((size % sizeof(TCHAR)) != 0 || buffer[size / sizeof(TCHAR) - 1] != 0))
        return ERROR_INVALID_DATA;
    buffer[size / sizeof(TCHAR)] = 0;
    return ERROR_SUCCESS;
}

// Values longer than the first try's buffer: their size, then their data.
LONG ReadLongText(HKEY key, LPCTSTR name, CString& text, RegistryText rule)
{
    DWORD type = 0, size = 0;
    LONG err = ::RegQueryValueEx(key, name, nullptr, &type, nullptr, &size);
    if (err != ERROR_SUCCESS)
        return err;
    if (rule != RegistryText::AnyType && !IsStringType(type))
        return ERROR_INVALID_DATA;
    const int reserved = int(size / sizeof(TCHAR));
    CString data;
    LPTSTR buffer = data.GetBuffer(reserved + 1);
    if (!buffer)
        return ERROR_NOT_ENOUGH_MEMORY;
    ZeroMemory(buffer, (SIZE_T(reserved) + 2) * sizeof(TCHAR));
    DWORD got = size;
    err = ::RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got);
    if (err == ERROR_SUCCESS && got > size)
        err = ERROR_MORE_DATA;
    if (err == ERROR_SUCCESS)
        err = TakeText(type, buffer, got, rule);
    if (err != ERROR_SUCCESS) {
        data.ReleaseBuffer(0);
        return err;
    }
    data.ReleaseBuffer();
    text = static_cast<CString&&>(data);
    return ERROR_SUCCESS;
}

}

// Most values are short: one query into a buffer on the stack, and the size only when it is too small.
LONG ReadRegistryString(HKEY key, LPCTSTR name, CString& text, RegistryText rule)
{
    TCHAR buffer[256] = {};
    DWORD type = 0, got = sizeof(buffer) - 2 * sizeof(TCHAR);
    LONG err = ::RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got);
    if (err == ERROR_MORE_DATA)
        return ReadLongText(key, name, text, rule);
    if (err == ERROR_SUCCESS && got > sizeof(buffer) - 2 * sizeof(TCHAR))
        err = ERROR_MORE_DATA;
    if (err == ERROR_SUCCESS)
        err = TakeText(type, buffer, got, rule);
    if (err != ERROR_SUCCESS)
        return err;
    text = buffer;
    return ERROR_SUCCESS;
}

LONG ReadRegistryString(HKEY key, LPCTSTR name, LPTSTR buffer, DWORD capacity, RegistryText rule)
{
    if (!buffer || capacity == 0)
        return ERROR_INVALID_PARAMETER;
    buffer[0] = 0;
    CString text;
    LONG err = ReadRegistryString(key, name, text, rule);
    if (err != ERROR_SUCCESS)
        return err;
    if (DWORD(text.GetLength()) >= capacity)
        return ERROR_MORE_DATA;
    lstrcpyn(buffer, text, int(capacity));
    return ERROR_SUCCESS;
}

LONG WriteRegistryString(HKEY key, LPCTSTR name, LPCTSTR text)
{
    if (!text)
        text = TEXT("");
    return ::RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           DWORD(lstrlen(text) + 1) * sizeof(TCHAR));
}

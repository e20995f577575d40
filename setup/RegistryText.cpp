#include "RegistryText.h"

bool ReadValueInto(HKEY key, LPCSTR name, LPSTR buffer, DWORD capacity)
{
    if (!buffer || capacity == 0)
        return false;
    buffer[0] = 0;
    DWORD size = capacity;
    if (::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if (size >= capacity && buffer[capacity - 1] != 0) {
        buffer[0] = 0;
        return false;
    }
    buffer[size < capacity ? size : capacity - 1] = 0;
    return true;
}

bool ReadValueText(HKEY key, LPCSTR name, CString& text)
{
    DWORD size = 0;
    if (::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    LPSTR buffer = text.GetBuffer(int(size));
    if (!buffer)
        return false;
    DWORD read = size;
    LONG result = ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &read);
    if (result != ERROR_SUCCESS) {
        text.ReleaseBuffer(0);
        return false;
    }
    buffer[read <= size ? read : size] = 0;
    text.ReleaseBuffer();
    return true;
}

LONG WriteStringValue(HKEY key, LPCSTR name, LPCSTR text)
{
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(lstrlenA(text) + 1));
}

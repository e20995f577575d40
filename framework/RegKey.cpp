#include "RegKey.h"
#include "RegistryString.h"
#include <shlwapi.h>

LONG CRegKey2::ReadDword(LPCTSTR name, DWORD& value) const
{
    DWORD type = 0, data = 0, size = 0;
    LONG err = ::RegQueryValueEx(m_key, name, nullptr, &type, nullptr, &size);
    if (err != ERROR_SUCCESS)
        return err;
    if (type != REG_DWORD || size != sizeof(data))
        return ERROR_INVALID_DATA;
    err = ::RegQueryValueEx(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (err != ERROR_SUCCESS)
        return err;
    if (type != REG_DWORD)
        return ERROR_INVALID_DATA;
    value = data;
    return ERROR_SUCCESS;
}

LONG CRegKey2::ReadString(LPCTSTR name, CString& text) const
{
    return ReadRegistryString(m_key, name, text, RegistryText::Exact);
}

LONG CRegKey2::WriteDword(LPCTSTR name, DWORD value)
{
    return ::RegSetValueEx(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG CRegKey2::WriteString(LPCTSTR name, LPCTSTR text)
{
    return WriteRegistryString(m_key, name, text);
}

LONG CRegKey2::OpenKey(HKEY parent, LPCTSTR subKey, REGSAM access)
{
    HKEY key = nullptr;
    LONG err = ::RegOpenKeyEx(parent, subKey, 0, access, &key);
    if (err == ERROR_SUCCESS)
        m_key.Attach(key);
    return err;
}

LONG CRegKey2::CreateKey(HKEY parent, LPCTSTR subKey, REGSAM access)
{
    HKEY key = nullptr;
    LONG err = ::RegCreateKeyEx(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    if (err == ERROR_SUCCESS)
        m_key.Attach(key);
    return err;
}

LONG CRegKey2::DeleteTree(LPCTSTR subKey)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return LONG(::SHDeleteKey(m_key, subKey));
}

#include "ExtList.h"
#include "Guids.h"
#include "OptionBits.h"
#include "RegKey.h"
#include <shellapi.h>

namespace {

// The registry's own limit for a key name, plus the terminator.
const DWORD kKeyNameChars = 256;
const DWORD kMaxFailedIndices = 1000;
const UINT kTypeFlags = SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES;
const UINT kIconFlags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
const WCHAR kHandlerKey[] = L"\\shellex\\ContextMenuHandlers\\MorvaneMenu";
const WCHAR kHandlersKey[] = L"\\shellex\\ContextMenuHandlers";
const WCHAR kHandlerName[] = L"MorvaneMenu";

// The handler's class identifier as the registration writes it: braced, upper-case hexadecimal.
CString HandlerClassId()
{
    WCHAR text[40] = L"";
    ::StringFromGUID2(CLSID_MorvaneMenuHandler, text, ARRAYSIZE(text));
    return CString(text);
}

CString Joined(const CString& first, LPCWSTR second)
{
    CString joined = first;
    joined += second;
    return joined;
}

}

CExtList::CExtList(DWORD options)
{
    UINT flags = kTypeFlags | ((options & OptTypeIcons) ? kIconFlags : 0);
    // The walk ends where the registry says there is nothing more. An index that cannot be read is
    // stepped over; only a long run of them, which no registry gives, ends the walk early.
    DWORD failures = 0;
    for (DWORD index = 0; failures < kMaxFailedIndices; ++index) {
        WCHAR name[kKeyNameChars];
        DWORD length = kKeyNameChars;
        LONG err = ::RegEnumKeyExW(HKEY_CLASSES_ROOT, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (err == ERROR_NO_MORE_ITEMS)
            break;
        if (err != ERROR_SUCCESS) {
            ++failures;
            continue;
        }
        failures = 0;
        if (name[0] == L'.')
            Add(name, flags);
    }
}

void CExtList::Add(LPCWSTR keyName, UINT flags)
{
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(keyName, 0, &info, sizeof(info), flags))
        info.szTypeName[0] = 0;
    info.szTypeName[ARRAYSIZE(info.szTypeName) - 1] = 0;
    CExtInfo record;
    record.m_extension = keyName + 1;
    record.m_typeName = info.szTypeName;
    record.m_icon = (flags & SHGFI_SYSICONINDEX) ? info.iIcon : 0;
    m_types.Add(static_cast<CExtInfo&&>(record));
}

const CExtList::CExtInfo& CExtList::ElementAt(int index) const
{
    return m_types.IsValidIndex(index) ? m_types[index] : m_none;
}

int CExtList::Find(LPCWSTR extension) const
{
    for (int i = 0; i < m_types.GetSize(); ++i)
        if (m_types[i].m_extension.CompareNoCase(extension) == 0)
            return i;
    return -1;
}

bool CExtList::TypeKeyName(int index, CString& name) const
{
    if (!m_types.IsValidIndex(index))
        return false;
    CRegKey2 key;
    if (key.OpenKey(HKEY_CLASSES_ROOT, Joined(CString(L"."), m_types[index].m_extension), KEY_READ) != ERROR_SUCCESS)
        return false;
    return key.ReadString(nullptr, name) == ERROR_SUCCESS && !name.IsEmpty();
}

bool CExtList::IsRegistered(int index) const
{
    CString typeKey;
    if (!TypeKeyName(index, typeKey))
        return false;
    CRegKey2 handler;
    if (handler.OpenKey(HKEY_CLASSES_ROOT, Joined(typeKey, kHandlerKey), KEY_READ) != ERROR_SUCCESS)
        return false;
    CString value;
    return handler.ReadString(nullptr, value) == ERROR_SUCCESS && value == HandlerClassId();
}

bool CExtList::SetRegistered(int index, bool registered)
{
    CString typeKey;
    if (!TypeKeyName(index, typeKey))
        return false;
    if (!registered) {
        CRegKey2 handlers;
        if (handlers.OpenKey(HKEY_CLASSES_ROOT, Joined(typeKey, kHandlersKey), KEY_READ) != ERROR_SUCCESS)
            return false;
        LONG err = handlers.DeleteTree(kHandlerName);
        return err == ERROR_SUCCESS || err == ERROR_FILE_NOT_FOUND;
    }
    CRegKey2 handler;
    if (handler.CreateKey(HKEY_CLASSES_ROOT, Joined(typeKey, kHandlerKey), KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return false;
    const CString classId = HandlerClassId();
    CString value;
    if (handler.ReadString(nullptr, value) != ERROR_SUCCESS) {
        handler.WriteString(nullptr, classId);
        if (handler.ReadString(nullptr, value) != ERROR_SUCCESS)
            return false;
    }
    if (value != classId)
        return handler.WriteString(nullptr, classId) == ERROR_SUCCESS;
    return true;
}

int CExtList::Compare(int a, int b) const
{
    const CExtInfo& first = ElementAt(a);
    const CExtInfo& second = ElementAt(b);
    switch (m_sortMode) {
    case kSortAscending + 0:
        return first.m_typeName.CompareNoCase(second.m_typeName);
    case kSortAscending + 1:
        return first.m_extension.CompareNoCase(second.m_extension);
    case kSortDescending + 0:
        return second.m_typeName.CompareNoCase(first.m_typeName);
    case kSortDescending + 1:
        return second.m_extension.CompareNoCase(first.m_extension);
    }
    return 0;
}

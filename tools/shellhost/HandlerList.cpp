#include "HandlerList.h"
#include "Holders.h"

namespace {

// The handler key's default value, or its name when the name itself is the class identifier.
CString HandlerClassText(HKEY handlers, LPCWSTR name)
{
    WCHAR text[128] = {};
    LONG size = sizeof(text) - sizeof(WCHAR);
    if (::RegQueryValueW(handlers, name, text, &size) == ERROR_SUCCESS && text[0])
        return CString(text);
    return CString(name);
}

}

bool CHandlerList::Contains(const CLSID& clsid) const
{
    for (const HandlerEntry& entry : m_entries)
        if (entry.valid && IsEqualCLSID(entry.clsid, clsid))
            return true;
    return false;
}

void CHandlerList::LoadClass(LPCWSTR classKey)
{
    CString path(classKey);
    path += L"\\shellex\\ContextMenuHandlers";
    CRegKeyHandle handlers;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &handlers) != ERROR_SUCCESS)
        return;
    WCHAR name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (::RegEnumKeyExW(handlers, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HandlerEntry entry;
        entry.classKey = classKey;
        entry.name = name;
        entry.clsidText = HandlerClassText(handlers, name);
        entry.valid = SUCCEEDED(::CLSIDFromString(entry.clsidText, &entry.clsid));
        if (entry.valid && Contains(entry.clsid))
            continue;  // one object per class, as the shell does
        m_entries.Add(static_cast<HandlerEntry&&>(entry));
    }
}

void CHandlerList::Load(const CString& typeClass)
{
    if (!typeClass.IsEmpty() && typeClass != L"*")
        LoadClass(typeClass);
    LoadClass(L"*");
}

void CHandlerList::Filter(const CString& filter)
{
    if (filter.IsEmpty())
        return;
    for (int i = m_entries.GetSize() - 1; i >= 0; --i) {
        const HandlerEntry& entry = m_entries[i];
        if (entry.name.CompareNoCase(filter) != 0 && entry.clsidText.CompareNoCase(filter) != 0)
            m_entries.RemoveAt(i);
    }
}

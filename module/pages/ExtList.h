// The file types registered on the system: every extension key of HKEY_CLASSES_ROOT with the
// shell's name for its type and, when asked for, its small icon.
#pragma once
#include "Array.h"
#include "Str.h"

class CExtList {
public:
    class CExtInfo {
    public:
        CString m_extension;  // the key name without its dot, as the registry spells it
        CString m_typeName;
        int m_icon = 0;       // index in the system's small-icon list; 0 without icons
    };

    // Sort modes: a column (0 type name, 1 extension) plus one of these.
    static const DWORD kSortAscending = 0x80;
    static const DWORD kSortDescending = 0x90;

    // Reads the registry once; OptTypeIcons in options also fetches each type's small icon.
    explicit CExtList(DWORD options);
    CExtList(const CExtList&) = delete;
    CExtList& operator=(const CExtList&) = delete;

    int GetSize() const { return m_types.GetSize(); }
    // An index outside the list yields an empty record.
    const CExtInfo& ElementAt(int index) const;
    // The first record whose extension equals the text without regard to case, or -1.
    int Find(LPCWSTR extension) const;

    // Whether the module's menu handler is registered for the type of record index.
    bool IsRegistered(int index) const;
    // Registers or unregisters the handler for that type alone; false when the registry refused.
    bool SetRegistered(int index, bool registered);

    DWORD GetSortMode() const { return m_sortMode; }
    void SetSortMode(DWORD mode) { m_sortMode = mode; }
    // Orders records a and b by the sort mode; 0 for a mode that names no column.
    int Compare(int a, int b) const;

private:
    bool AddRecord(const CString& extension);
    // The name of the type's own key (the extension key's default value); false when it has none.
    bool TypeKeyName(int index, CString& name) const;

    CArray<CExtInfo> m_types;
    CExtInfo m_none;
    DWORD m_sortMode = kSortAscending;
};

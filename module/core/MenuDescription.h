// The menu of one selection as data: the items the menu rules decided, in order, each knowing the
// popup that holds it. The classic menu and the Windows 11 command tree are both drawn from it.
#pragma once
#include "Array.h"
#include "Str.h"

struct CMenuEntry {
    enum class Kind { Command, Popup, Separator };
    Kind kind = Kind::Command;
    CString text;          // as the classic menu shows it: access keys and the label's tab included
    int offset = -1;       // the command offset; -1 for popups and separators
    int parent = -1;       // index of the popup holding the entry; kTop for a top entry
    bool disabled = false;
    bool checked = false;
    bool isDefault = false;
};

class CMenuDescription {
public:
    static const int kTop = -1;
    static const int kNone = -2;  // an entry that could not be added: what goes into it is dropped
    // Flags of AddCommand.
    static const UINT kDisabled = 0x1;
    static const UINT kChecked = 0x2;
    static const UINT kDefault = 0x4;

    CMenuDescription() = default;
    CMenuDescription(const CMenuDescription&) = delete;
    CMenuDescription& operator=(const CMenuDescription&) = delete;

    int GetSize() const { return m_entries.GetSize(); }
    bool IsEmpty() const { return m_entries.IsEmpty(); }
    const CMenuEntry& Entry(int index) const { return m_entries[index]; }
    // The first top entry: what the menu shows at its own level; -1 for an empty menu.
    int Top() const;
    // The index of the popup's n-th entry, or -1; ChildCount counts them.
    int Child(int popup, int n) const;
    int ChildCount(int popup) const;

    // Each returns the new entry's index, or kNone when out of memory (the menu then lacks it).
    int AddPopup(int parent, LPCWSTR text);
    int AddCommand(int parent, int offset, LPCWSTR text, UINT flags = 0);
    // Separators never follow one another.
    void AddSeparator(int parent);
    void RemoveTrailingSeparator(int parent);
    void Clear() { m_entries.RemoveAll(); }

    // Inserts the top entries at position of menu, each command as identifier first + offset.
    void Render(HMENU menu, UINT position, UINT first) const;

private:
    int Add(CMenuEntry&& entry);
    int LastChild(int parent) const;

    CArray<CMenuEntry> m_entries;
};

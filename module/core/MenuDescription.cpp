#include "MenuDescription.h"
#include "Holders.h"

int CMenuDescription::Top() const
{
    return Child(kTop, 0);
}

int CMenuDescription::Child(int popup, int n) const
{
    for (int i = 0; i < m_entries.GetSize(); ++i)
        if (m_entries[i].parent == popup && n-- == 0)
            return i;
    return -1;
}

int CMenuDescription::ChildCount(int popup) const
{
    int count = 0;
    for (const CMenuEntry& entry : m_entries)
        if (entry.parent == popup)
            ++count;
    return count;
}

int CMenuDescription::LastChild(int parent) const
{
    for (int i = m_entries.GetSize() - 1; i >= 0; --i)
        if (m_entries[i].parent == parent)
            return i;
    return -1;
}

int CMenuDescription::Add(CMenuEntry&& entry)
{
    if (entry.parent < kTop || !m_entries.Add(static_cast<CMenuEntry&&>(entry)))
        return kNone;
    return m_entries.GetSize() - 1;
}

int CMenuDescription::AddPopup(int parent, LPCWSTR text)
{
    CMenuEntry entry;
    entry.kind = CMenuEntry::Kind::Popup;
    entry.text = text;
    entry.parent = parent;
    return Add(static_cast<CMenuEntry&&>(entry));
}

int CMenuDescription::AddCommand(int parent, int offset, LPCWSTR text, UINT flags)
{
    CMenuEntry entry;
    entry.text = text;
    entry.offset = offset;
    entry.parent = parent;
    entry.disabled = (flags & kDisabled) != 0;
    entry.checked = (flags & kChecked) != 0;
    entry.isDefault = (flags & kDefault) != 0;
    return Add(static_cast<CMenuEntry&&>(entry));
}

void CMenuDescription::AddSeparator(int parent)
{
    if (parent < kTop)
        return;
    int last = LastChild(parent);
    if (last < 0 || m_entries[last].kind != CMenuEntry::Kind::Separator) {
        CMenuEntry entry;
        entry.kind = CMenuEntry::Kind::Separator;
        entry.parent = parent;
        Add(static_cast<CMenuEntry&&>(entry));
    }
}

void CMenuDescription::RemoveTrailingSeparator(int parent)
{
    if (parent < kTop)
        return;
    int last = LastChild(parent);
    if (last < 0 || m_entries[last].kind != CMenuEntry::Kind::Separator)
        return;
    // Entries after it belong to other popups; they move up one, and so do their parents' indices.
    m_entries.RemoveAt(last);
    for (int i = last; i < m_entries.GetSize(); ++i)
        if (m_entries[i].parent > last)
            --m_entries[i].parent;
}

// Entries come after the popup that holds them, so one pass in order fills every popup: each
// popup's handle is kept by its index until its entries have been added.
void CMenuDescription::Render(HMENU menu, UINT position, UINT first) const
{
    CArray<HMENU> popups;
    if (!popups.SetSize(m_entries.GetSize()))
        return;
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        const CMenuEntry& entry = m_entries[i];
        bool top = entry.parent == kTop;
        HMENU target = top ? menu : popups[entry.parent];
        popups[i] = nullptr;
        if (!target)
            continue;  // its popup could not be made
        UINT at = top ? position++ : UINT(-1);
        switch (entry.kind) {
        case CMenuEntry::Kind::Separator:
            ::InsertMenuW(target, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            break;
        case CMenuEntry::Kind::Popup: {
            CMenuHandle popup(::CreateMenu());
            if (popup.IsValid()
                && ::InsertMenuW(target, at, MF_BYPOSITION | MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Get()),
                                 entry.text))
                popups[i] = popup.Detach();  // the menu owns it now
            break;
        }
        case CMenuEntry::Kind::Command: {
            UINT state = (entry.disabled ? MF_DISABLED : MF_ENABLED) | (entry.checked ? MF_CHECKED : MF_UNCHECKED);
            if (::InsertMenuW(target, at, MF_BYPOSITION | MF_STRING | state, first + UINT(entry.offset), entry.text)
                && entry.isDefault)
                ::SetMenuDefaultItem(target, top ? at : UINT(::GetMenuItemCount(target) - 1), TRUE);
            break;
        }
        }
    }
}

#include "Flyout.h"
#include "CommandIds.h"

namespace {

// The flyout's entries in order, by the classic command they run; a group starts a new run between
// separators. A title replaces the classic text where that text ("Change...") needs its submenu's
// label to be understood. Quick extensions fill whatever room the other entries leave.
const struct FlyoutRow {
    int offset;
    int count;        // commands from offset on
    LPCWSTR title;    // null: the classic text
    bool elastic;     // as many as fit
    bool newGroup;
} kFlyoutRows[] = {
    { kCmdType, 1, nullptr, false, true },
    { kCmdQuickFirst, kQuickExtMax, nullptr, true, false },
    { kCmdCopyFirst + 1, 2, nullptr, false, true },  // "Copy File Name", "Copy File Path"
    { kCmdAttrChange, 1, L"Attributes...", false, true },
    { kCmdLinkChange, 1, L"Shortcut...", false, false },
    { kCmdSummaryChange, 1, L"Summary...", false, false },
    { kCmdOptions, 1, nullptr, false, false },
    { kCmdAbout, 1, nullptr, false, false },
};

// The classic command entry with the offset anywhere in the menu, or -1.
int FindCommand(const CMenuDescription& menu, int offset)
{
    for (int i = 0; i < menu.GetSize(); ++i)
        if (menu.Entry(i).kind == CMenuEntry::Kind::Command && menu.Entry(i).offset == offset)
            return i;
    return -1;
}

void AddLeaf(CMenuDescription& flyout, int popup, const CMenuEntry& entry, LPCWSTR title)
{
    UINT flags = (entry.disabled ? CMenuDescription::kDisabled : 0) | (entry.checked ? CMenuDescription::kChecked : 0);
    flyout.AddCommand(popup, entry.offset, title ? title : entry.text.GetString(), flags);
}

// Adds the rows' leaves under popup, at most room quick extensions among them; returns how many
// quick extensions it added.
int AddRows(const CMenuDescription& classic, CMenuDescription& flyout, int popup, int room)
{
    int quick = 0;
    bool separate = false;  // a group has begun since the last leaf: a separator goes before the next
    for (const FlyoutRow& row : kFlyoutRows) {
        separate = separate || row.newGroup;
        for (int i = 0; i < row.count && (!row.elastic || quick < room); ++i) {
            int found = FindCommand(classic, row.offset + i);
            if (found < 0)
                continue;
            if (separate && flyout.ChildCount(popup) > 0)
                flyout.AddSeparator(popup);
            separate = false;
            AddLeaf(flyout, popup, classic.Entry(found), row.title);
            if (row.elastic)
                ++quick;
        }
    }
    return quick;
}

}

void DescribeFlyout(const CMenuDescription& classic, CMenuDescription& flyout)
{
    flyout.Clear();
    int top = classic.Top();
    if (top < 0)
        return;
    const CMenuEntry& root = classic.Entry(top);
    if (root.kind != CMenuEntry::Kind::Popup) {
        AddLeaf(flyout, CMenuDescription::kTop, root, nullptr);
        return;
    }
    // Every quick extension first; where that is too many entries, as many fewer as it is over.
    int popup = flyout.AddPopup(CMenuDescription::kTop, root.text);
    int quick = AddRows(classic, flyout, popup, kQuickExtMax);
    int over = flyout.ChildCount(popup) - kFlyoutMaxEntries;
    if (over > 0) {
        flyout.Clear();
        popup = flyout.AddPopup(CMenuDescription::kTop, root.text);
        AddRows(classic, flyout, popup, quick - over);
    }
}

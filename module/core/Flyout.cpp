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

int PresentCount(const CMenuDescription& menu, const FlyoutRow& row)
{
    int present = 0;
    for (int i = 0; i < row.count; ++i)
        if (FindCommand(menu, row.offset + i) >= 0)
            ++present;
    return present;
}

// How many quick extensions fit beside every fixed entry and the separators between groups.
int ElasticRoom(const CMenuDescription& menu)
{
    int fixed = 0, groups = 0;
    bool groupSeen = false;
    for (const FlyoutRow& row : kFlyoutRows) {
        if (row.newGroup)
            groupSeen = false;
        int present = row.elastic ? (PresentCount(menu, row) > 0 ? 1 : 0) : PresentCount(menu, row);
        if (present > 0 && !groupSeen) {
            ++groups;
            groupSeen = true;
        }
        if (!row.elastic)
            fixed += present;
    }
    int room = kFlyoutMaxEntries - fixed - (groups > 0 ? groups - 1 : 0);
    return room > 0 ? room : 0;
}

void AddLeaf(CMenuDescription& flyout, int popup, const CMenuEntry& entry, LPCWSTR title)
{
    UINT flags = (entry.disabled ? CMenuDescription::kDisabled : 0) | (entry.checked ? CMenuDescription::kChecked : 0);
    flyout.AddCommand(popup, entry.offset, title ? title : entry.text.GetString(), flags);
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
    int popup = flyout.AddPopup(CMenuDescription::kTop, root.text);
    int room = ElasticRoom(classic);
    bool separate = false;  // a group has begun since the last leaf: a separator goes before the next
    for (const FlyoutRow& row : kFlyoutRows) {
        separate = separate || row.newGroup;
        for (int i = 0; i < row.count && (!row.elastic || room > 0); ++i) {
            int found = FindCommand(classic, row.offset + i);
            if (found < 0)
                continue;
            if (separate && flyout.ChildCount(popup) > 0)
                flyout.AddSeparator(popup);
            separate = false;
            AddLeaf(flyout, popup, classic.Entry(found), row.title);
            if (row.elastic)
                --room;
        }
    }
}

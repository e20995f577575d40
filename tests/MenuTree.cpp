#include "MenuTree.h"
#include "TestSupport.h"

namespace {

void RenderItems(HMENU menu, UINT first, int depth, std::string& out)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[1024] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text) - 1;
        out += std::string(size_t(depth) * 2, ' ');
        if (!GetMenuItemInfoW(menu, UINT(i), TRUE, &info)) {
            out += "<unreadable>\n";
            continue;
        }
        if (info.fType & MFT_SEPARATOR) {
            out += "----\n";
            continue;
        }
        std::string shown;
        for (wchar_t c : std::wstring(text))
            shown += c == L'\t' ? std::string("\\t") : ToNarrow(std::wstring(1, c));
        out += "\"" + shown + "\"";
        if (info.hSubMenu)
            out += " popup";
        else if (info.wID >= first && info.wID < first + 56)
            out += " @" + std::to_string(info.wID - first);
        else
            out += " id " + std::to_string(info.wID);
        if (info.fState & MF_GRAYED)
            out += " grayed";
        if (info.fState & MF_DISABLED)
            out += " disabled";
        if (info.fState & MFS_CHECKED)
            out += " checked";
        if (info.fState & MFS_DEFAULT)
            out += " default";
        out += "\n";
        if (info.hSubMenu)
            RenderItems(info.hSubMenu, first, depth + 1, out);
    }
}

}

std::string RenderMenu(HMENU menu, UINT first)
{
    std::string out;
    RenderItems(menu, first, 0, out);
    return out;
}

#include "MenuPrinter.h"

namespace {

const int kHelpCapacity = 1024;

// Reads one item: its type, state, identifier, popup and text.
bool ReadItem(HMENU menu, int position, MENUITEMINFOW& info, CString& text)
{
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, UINT(position), TRUE, &info))
        return false;
    text.Empty();
    if (info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))
        return true;
    UINT length = info.cch;
    LPWSTR buffer = text.GetBuffer(int(length) + 1);
    if (!buffer)
        return true;
    buffer[0] = 0;
    info.dwTypeData = buffer;
    info.cch = length + 1;
    if (::GetMenuItemInfoW(menu, UINT(position), TRUE, &info))
        buffer[length] = 0;
    else
        buffer[0] = 0;
    text.ReleaseBuffer();
    info.dwTypeData = nullptr;
    return true;
}

// The state words that follow an item's text.
CString StateWords(const MENUITEMINFOW& info)
{
    CString words;
    if (info.fState & MF_GRAYED)
        words += L" grayed";
    if (info.fState & MF_DISABLED)
        words += L" disabled";
    if (info.fState & MFS_CHECKED)
        words += (info.fType & MFT_RADIOCHECK) ? L" radio-checked" : L" checked";
    if (info.fState & MFS_DEFAULT)
        words += L" default";
    if (info.fType & MFT_OWNERDRAW)
        words += L" owner-drawn";
    if (info.fType & MFT_BITMAP)
        words += L" bitmap";
    if (info.fType & (MFT_MENUBREAK | MFT_MENUBARBREAK))
        words += L" column-break";
    return words;
}

}

CMenuPrinter::CMenuPrinter(COutput& out, UINT firstId, UINT claimed, IContextMenu* helpSource)
    : m_out(out), m_firstId(firstId), m_claimed(claimed), m_helpSource(helpSource)
{
}

CString CMenuPrinter::VisibleText(LPCWSTR text)
{
    CString visible;
    for (LPCWSTR p = text; *p; ++p) {
        if (*p == L'\t') {
            visible += L" \x2192 ";
        } else if (*p < 0x20 || *p == 0x7F) {
            WCHAR code[16];
            wsprintfW(code, L"<U+%04X>", unsigned(*p));
            visible += code;
        } else {
            visible += *p;
        }
    }
    return visible;
}

CString CMenuPrinter::HelpText(UINT offset)
{
    WCHAR buffer[kHelpCapacity];
    buffer[0] = 0;
    buffer[kHelpCapacity - 1] = 0;
    HRESULT hr = m_helpSource->GetCommandString(offset, GCS_HELPTEXTW, nullptr, reinterpret_cast<LPSTR>(buffer),
                                                kHelpCapacity);
    CString text;
    if (FAILED(hr)) {
        text.Format(L" help failed 0x%08lX", hr);
    } else {
        buffer[kHelpCapacity - 1] = 0;
        text.Format(L" help \"%s\"", VisibleText(buffer).GetString());
    }
    return text;
}

void CMenuPrinter::PrintItem(HMENU menu, int position, int level)
{
    MENUITEMINFOW info;
    CString text;
    if (!ReadItem(menu, position, info, text)) {
        m_out.Line(level, L"(item %d unreadable: error %lu)", position, ::GetLastError());
        return;
    }
    if (info.fType & MFT_SEPARATOR) {
        m_out.Line(level, L"--------");
        return;
    }
    CString words = StateWords(info);
    CString shown = VisibleText(text);
    if (info.hSubMenu) {
        m_out.Line(level, L"popup \"%s\"%s", shown.GetString(), words.GetString());
        Print(info.hSubMenu, level + 1);
        return;
    }
    UINT offset = info.wID - m_firstId;
    if (info.wID < m_firstId || offset >= m_claimed) {
        m_out.Line(level, L"id %u outside the claimed range \"%s\"%s", info.wID, shown.GetString(), words.GetString());
        return;
    }
    CString help;
    if (m_helpSource)
        help = HelpText(offset);
    m_out.Line(level, L"%u \"%s\"%s%s", offset, shown.GetString(), words.GetString(), help.GetString());
}

void CMenuPrinter::Print(HMENU menu, int level)
{
    int count = ::GetMenuItemCount(menu);
    if (count <= 0) {
        m_out.Line(level, L"(no items)");
        return;
    }
    for (int position = 0; position < count; ++position)
        PrintItem(menu, position, level);
}

bool CMenuPrinter::HasOffset(HMENU menu, UINT firstId, UINT offset)
{
    int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!::GetMenuItemInfoW(menu, UINT(position), TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        if (info.hSubMenu ? HasOffset(info.hSubMenu, firstId, offset) : info.wID == firstId + offset)
            return true;
    }
    return false;
}

#include "StaticLink.h"
#include "AboutPageRes.h"
#include "DialogWindow.h"
#include <shellapi.h>

namespace {

LinkOpener g_opener = &::ShellExecuteW;

}

LinkOpener SetLinkOpener(LinkOpener opener)
{
    LinkOpener previous = g_opener;
    g_opener = opener ? opener : &::ShellExecuteW;
    return previous;
}

CStaticLink::CStaticLink()
    : m_cursor(::LoadCursor(CDialogWindow::ResourceInstance(), MAKEINTRESOURCE(IDC_ABOUT_LINKCURSOR)))
{
}

bool CStaticLink::Attach(HWND dialog, int id, LPCWSTR target)
{
    if (!CStatic::Attach(dialog, id))
        return false;
    m_target = target;
    return true;
}

bool CStaticLink::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message != WM_SETCURSOR)
        return false;
    OnSetCursor(LOWORD(lParam));
    result = TRUE;
    return true;
}

bool CStaticLink::OnReflectedMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_CTLCOLORSTATIC) {
        result = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        Open();
        result = 0;
        return true;
    }
    return false;
}

HBRUSH CStaticLink::OnCtlColor(HDC dc)
{
    // Without the notify style a static control reports no clicks.
    AddStyle(SS_NOTIFY);
    if (!m_underlineFont.IsValid()) {
        HFONT font = GetFont();
        LOGFONT face = {};
        if (::GetObject(font ? font : ::GetCurrentObject(dc, OBJ_FONT), sizeof(face), &face)) {
            face.lfUnderline = TRUE;
            m_underlineFont.Attach(::CreateFontIndirect(&face));
        }
    }
    if (m_underlineFont.IsValid())
        ::SelectObject(dc, m_underlineFont);
    ::SetTextColor(dc, m_visited ? m_visitedColor : m_unvisitedColor);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CStaticLink::OnSetCursor(UINT hitTest)
{
    POINT position = {};
    RECT client = {};
    if (hitTest != HTCLIENT || !m_cursor || !::GetCursorPos(&position) || !::GetClientRect(GetHwnd(), &client))
        return;
    ::MapWindowPoints(GetHwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (::PtInRect(&client, position))
        ::SetCursor(m_cursor);
}

void CStaticLink::Open()
{
    if (m_target.IsEmpty())
        m_target = GetText();
    HINSTANCE result = g_opener(nullptr, L"open", m_target, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) {
        ::MessageBeep(0);
        return;
    }
    m_visited = true;
    ::InvalidateRect(GetHwnd(), nullptr, TRUE);
}

#include "SheetCapture.h"
#include "Picture.h"
#include "ThreadWindows.h"
#include <commctrl.h>
#include <prsht.h>

namespace {

const UINT kTickMs = 100;
const int kTimeoutTicks = 150;  // 15 s for the sheet to come up and all its pages to be saved
const int kSettleTicks = 3;     // lets a newly shown page paint and reach the screen
const int kCloseRetryTicks = 20;

// The one capture whose timer runs: thread timers carry no context of their own.
CSheetCapture* g_active = nullptr;

CString TabText(HWND tab, int index)
{
    wchar_t text[128] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = ARRAYSIZE(text);
    ::SendMessageW(tab, TCM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    text[ARRAYSIZE(text) - 1] = 0;
    return CString(text);
}

}

CSheetCapture::CSheetCapture(LPCWSTR path, COutput& out) : m_path(path), m_out(out)
{
}

CSheetCapture::~CSheetCapture()
{
    Disarm();
}

bool CSheetCapture::Arm()
{
    if (g_active)
        return false;
    m_timer = ::SetTimer(nullptr, 0, kTickMs, &CSheetCapture::OnTimer);
    if (m_timer)
        g_active = this;
    return m_timer != 0;
}

void CSheetCapture::Disarm()
{
    if (m_timer)
        ::KillTimer(nullptr, m_timer);
    m_timer = 0;
    if (g_active == this)
        g_active = nullptr;
}

void CALLBACK CSheetCapture::OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_active && g_active->m_timer == id)
        g_active->Tick();
}

CString CSheetCapture::PagePath(LPCWSTR path, LPCWSTR tab)
{
    CString base(path);
    int length = base.GetLength();
    if (length >= 4 && !lstrcmpiW(base.GetString() + length - 4, L".png"))
        base.Truncate(length - 4);
    CString name;
    for (LPCWSTR c = tab; *c; ++c) {
        if (::IsCharAlphaNumericW(*c))
            name += *c;
        else if (*c != L'&' && !name.IsEmpty() && name[name.GetLength() - 1] != L'-')
            name += L'-';
    }
    if (name[name.GetLength() - 1] == L'-')
        name.Truncate(name.GetLength() - 1);
    name.MakeLower();
    base += L"-";
    base += name.IsEmpty() ? CString(L"page") : name;
    base += L".png";
    return base;
}

void CSheetCapture::Tick()
{
    ++m_ticks;
    if (m_step == Step::Closing) {
        Close();
        return;
    }
    if (m_ticks > kTimeoutTicks) {
        m_out.Line(0, L"screenshot: timed out %s", m_sheet ? L"on the sheet's pages" : L"waiting for a sheet");
        Finish(false);
        return;
    }
    if (m_settle > 0) {
        --m_settle;
        return;
    }
    switch (m_step) {
    case Step::FindSheet: FindSheet(); break;
    case Step::SelectPage: SelectPage(); break;
    case Step::SavePage: SavePage(); break;
    case Step::Closing: break;
    }
}

void CSheetCapture::FindSheet()
{
    CThreadWindows windows;
    for (int i = 0; i < windows.Count() && !m_sheet; ++i)
        if (::IsWindowVisible(windows[i]) && ::SendMessageW(windows[i], PSM_GETTABCONTROL, 0, 0))
            m_sheet = windows[i];
    if (!m_sheet)
        return;
    HWND tab = reinterpret_cast<HWND>(::SendMessageW(m_sheet, PSM_GETTABCONTROL, 0, 0));
    int count = int(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        m_tabs.Add(TabText(tab, i));
    // On the user's own display the sheet comes to the top, so that the screen shows all of it.
    ::SetWindowPos(m_sheet, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(m_sheet);
    // Without the display's focus (a virtual display has no window manager to give it) the
    // caption would show as inactive.
    ::SendMessageW(m_sheet, WM_NCACTIVATE, TRUE, 0);
    m_step = Step::SelectPage;
    if (count == 0)
        Finish(false);
}

void CSheetCapture::SelectPage()
{
    ::SendMessageW(m_sheet, PSM_SETCURSEL, WPARAM(m_page), 0);
    HWND tab = reinterpret_cast<HWND>(::SendMessageW(m_sheet, PSM_GETTABCONTROL, 0, 0));
    if (int(::SendMessageW(tab, TCM_GETCURSEL, 0, 0)) != m_page) {
        m_out.Line(0, L"screenshot: the sheet did not turn to page %d", m_page + 1);
        Finish(false);
        return;
    }
    ::RedrawWindow(m_sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    m_step = Step::SavePage;
    m_settle = kSettleTicks;
}

void CSheetCapture::SavePage()
{
    RECT bounds;
    ::GetWindowRect(m_sheet, &bounds);
    CPicture picture;
    CString path = PagePath(m_path, m_tabs[m_page]);
    bool taken = picture.Create(bounds.right - bounds.left, bounds.bottom - bounds.top) &&
                 picture.CopyScreen(bounds, 0, 0);
    HRESULT hr = taken ? picture.SavePng(path) : E_FAIL;
    if (FAILED(hr)) {
        m_out.Line(0, L"screenshot %s failed 0x%08lX", path.GetString(), hr);
        Finish(false);
        return;
    }
    m_out.Line(0, L"screenshot %s", path.GetString());
    if (++m_page < m_tabs.GetSize()) {
        m_step = Step::SelectPage;
        return;
    }
    Finish(true);
}

void CSheetCapture::Finish(bool succeeded)
{
    m_succeeded = succeeded;
    m_step = Step::Closing;
    m_ticks = 0;
    if (m_sheet && ::IsWindow(m_sheet))
        ::PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    else
        CloseThreadWindows();
}

void CSheetCapture::Close()
{
    // Whatever still stands in the way after a while, a message box over the sheet or instead of
    // it, is cancelled, until the command returns and the timer goes.
    if (m_ticks % kCloseRetryTicks == 0)
        CloseThreadWindows();
}

void CSheetCapture::CloseThreadWindows()
{
    CThreadWindows().CancelVisible();
    if (m_sheet && ::IsWindow(m_sheet))
        ::PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

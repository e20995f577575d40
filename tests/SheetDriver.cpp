#include "SheetDriver.h"
#include "TestSupport.h"
#include <commctrl.h>
#include <prsht.h>
#include <gtest/gtest.h>

namespace {

const UINT kMarker = WM_APP + 0x3F1;
const DWORD kReplyTimeout = 5000;

// The driver whose worker runs on this thread: its message hook reports the markers.
thread_local CSheetDriver* t_driver = nullptr;
thread_local HANDLE t_marker = nullptr;

struct ThreadWindows {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    reinterpret_cast<ThreadWindows*>(param)->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD threadId)
{
    ThreadWindows found;
    EnumThreadWindows(threadId, &CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kReplyTimeout, &result))
        ADD_FAILURE() << "no answer to message " << std::hex << message << " within " << std::dec << kReplyTimeout << " ms";
    return LRESULT(result);
}

}

CSheetDriver::CSheetDriver(std::function<void()> show) : m_show(static_cast<std::function<void()>&&>(show))
{
    InitializeCriticalSection(&m_lock);
    m_started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_marker = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, &CSheetDriver::Worker, this, 0, &m_threadId);
    if (!m_thread) {
        ADD_FAILURE() << "could not start the sheet's thread";
        return;
    }
    WaitForSingleObject(m_started, kReplyTimeout);
    FindSheet(10000);
}

CSheetDriver::~CSheetDriver()
{
    if (m_thread && WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT) {
        // A sheet the test left open: cancel it, then close whatever the thread still shows.
        if (m_sheet)
            PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        for (int round = 0; round < 20 && WaitForSingleObject(m_thread, 250) == WAIT_TIMEOUT; ++round)
            for (HWND window : WindowsOf(m_threadId))
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT) {
            ADD_FAILURE() << "the sheet's thread did not end";
            TerminateThread(m_thread, 1);
        }
    }
    if (m_thread)
        CloseHandle(m_thread);
    CloseHandle(m_started);
    CloseHandle(m_marker);
    DeleteCriticalSection(&m_lock);
}

DWORD WINAPI CSheetDriver::Worker(void* param)
{
    auto* self = static_cast<CSheetDriver*>(param);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    t_driver = self;
    t_marker = self->m_marker;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &CSheetDriver::MessageHook, nullptr, GetCurrentThreadId());
    {
        CDialogWatcher watcher([self](HWND dialog, const SeenDialog& seen) {
            EnterCriticalSection(&self->m_lock);
            self->m_seenDialogs.push_back(seen);
            auto answer = self->m_answer;
            LeaveCriticalSection(&self->m_lock);
            return answer ? answer(dialog, seen) : IDOK;
        });
        SetEvent(self->m_started);
        self->m_show();
    }
    if (hook)
        UnhookWindowsHookEx(hook);
    t_driver = nullptr;
    CoUninitialize();
    return 0;
}

LRESULT CALLBACK CSheetDriver::MessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kMarker && t_marker)
        SetEvent(t_marker);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CSheetDriver::FindSheet(DWORD timeoutMs)
{
    // Stops early when show() returned without a sheet.
    WaitUntil(timeoutMs, [&] {
        for (HWND window : WindowsOf(m_threadId))
            if (IsWindowVisible(window) && SendWithTimeout(window, PSM_GETTABCONTROL, 0, 0)) {
                m_sheet = window;
                return true;
            }
        return WaitForSingleObject(m_thread, 0) != WAIT_TIMEOUT;
    });
}

bool CSheetDriver::SyncOnce(DWORD timeoutMs)
{
    HWND target = m_sheet;
    if (!target || !IsWindow(target)) {
        std::vector<HWND> windows = WindowsOf(m_threadId);
        if (windows.empty())
            return true;
        target = windows[0];
    }
    ResetEvent(m_marker);
    PostMessageW(target, kMarker, 0, 0);
    HANDLE waits[] = { m_marker, m_thread };
    return WaitForMultipleObjects(2, waits, FALSE, timeoutMs) != WAIT_TIMEOUT;
}

void CSheetDriver::Sync()
{
    // A posted click may open a message box whose answer is posted in turn: a few rounds let each
    // nested step finish before the test looks again.
    for (int round = 0; round < 3; ++round)
        if (!SyncOnce(kReplyTimeout)) {
            ADD_FAILURE() << "the sheet's thread did not catch up within " << kReplyTimeout << " ms";
            return;
        }
}

LRESULT CSheetDriver::SendToSheet(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_sheet && IsWindow(m_sheet) ? SendWithTimeout(m_sheet, message, wParam, lParam) : 0;
}

std::wstring CSheetDriver::Caption() const
{
    wchar_t text[512] = {};
    SendToSheet(WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> CSheetDriver::Tabs() const
{
    std::vector<std::wstring> tabs;
    HWND tab = reinterpret_cast<HWND>(SendToSheet(PSM_GETTABCONTROL));
    if (!tab)
        return tabs;
    int count = int(SendWithTimeout(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = ARRAYSIZE(text);
        SendWithTimeout(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        tabs.push_back(text);
    }
    return tabs;
}

int CSheetDriver::CurrentTab() const
{
    HWND tab = reinterpret_cast<HWND>(SendToSheet(PSM_GETTABCONTROL));
    return tab ? int(SendWithTimeout(tab, TCM_GETCURSEL, 0, 0)) : -1;
}

HWND CSheetDriver::Page() const
{
    return reinterpret_cast<HWND>(SendToSheet(PSM_GETCURRENTPAGEHWND));
}

void CSheetDriver::SelectTab(int index)
{
    if (!m_sheet)
        return;
    PostMessageW(m_sheet, PSM_SETCURSEL, index, 0);
    Sync();
}

HWND CSheetDriver::Item(int id) const
{
    HWND page = Page();
    return page ? GetDlgItem(page, id) : nullptr;
}

std::wstring CSheetDriver::Text(int id) const
{
    HWND item = Item(id);
    if (!item)
        return L"<no control " + std::to_wstring(id) + L">";
    std::wstring text(size_t(SendWithTimeout(item, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    LRESULT got = SendWithTimeout(item, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(size_t(got));
    return text;
}

void CSheetDriver::SetText(int id, const std::wstring& text)
{
    HWND item = Item(id);
    EXPECT_TRUE(item) << "no control " << id;
    if (item)
        SendWithTimeout(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Sync();
}

LRESULT CSheetDriver::Send(int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = Item(id);
    EXPECT_TRUE(item) << "no control " << id;
    return item ? SendWithTimeout(item, message, wParam, lParam) : 0;
}

void CSheetDriver::Notify(int id, WORD code)
{
    HWND item = Item(id);
    EXPECT_TRUE(item) << "no control " << id;
    if (item)
        SendWithTimeout(GetParent(item), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(item));
}

void CSheetDriver::Click(int id)
{
    HWND item = Item(id);
    EXPECT_TRUE(item) << "no control " << id;
    if (item)
        PostMessageW(item, BM_CLICK, 0, 0);
    Sync();
}

void CSheetDriver::Press(int button)
{
    if (m_sheet)
        PostMessageW(m_sheet, PSM_PRESSBUTTON, button, 0);
    Sync();
}

bool CSheetDriver::WaitClosed(DWORD timeoutMs)
{
    return m_thread && WaitForSingleObject(m_thread, timeoutMs) == WAIT_OBJECT_0;
}

void CSheetDriver::OnDialog(std::function<int(HWND, const SeenDialog&)> answer)
{
    EnterCriticalSection(&m_lock);
    m_answer = static_cast<std::function<int(HWND, const SeenDialog&)>&&>(answer);
    LeaveCriticalSection(&m_lock);
}

std::vector<SeenDialog> CSheetDriver::Seen() const
{
    EnterCriticalSection(&m_lock);
    std::vector<SeenDialog> seen = m_seenDialogs;
    LeaveCriticalSection(&m_lock);
    return seen;
}

std::function<void()> InfoSheetAt(Parameters& handler, InfoPage page)
{
    return [&handler, page] { ShowInfoSheet(handler, page, nullptr); };
}

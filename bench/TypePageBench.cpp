#include "TypePageBench.h"
#include "InfoSheet.h"
#include "Settings.h"
#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>
#include <functional>

namespace {

const UINT kCloseMarker = WM_APP + 0x2B7;
// Rounds the marker may go before a sheet that never comes up is given up.
const int kMarkerRounds = 10000;
thread_local bool t_sheetSeen = false;
thread_local int t_markerRounds = 0;

BOOL CALLBACK FindSheet(HWND window, LPARAM param)
{
    if (IsWindowVisible(window) && SendMessageW(window, PSM_GETTABCONTROL, 0, 0)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// Sees the marker posted before the sheet was opened: draws the sheet with its page as the screen
// would show it and presses Cancel; before the sheet is there, the marker goes round again.
LRESULT CALLBACK CloseHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kCloseMarker && !message->hwnd) {
        HWND sheet = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &FindSheet, reinterpret_cast<LPARAM>(&sheet));
        if (sheet) {
            t_sheetSeen = true;
            RedrawWindow(sheet, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        } else if (++t_markerRounds < kMarkerRounds) {
            PostThreadMessageW(GetCurrentThreadId(), kCloseMarker, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// One hook on the thread for every opening object that lives on it.
thread_local HHOOK t_closeHook = nullptr;
thread_local int t_closeHookUsers = 0;

void UseCloseHook()
{
    if (t_closeHookUsers++ == 0)
        t_closeHook = SetWindowsHookExW(WH_GETMESSAGE, &CloseHook, nullptr, GetCurrentThreadId());
}

void ReleaseCloseHook()
{
    if (--t_closeHookUsers == 0 && t_closeHook) {
        UnhookWindowsHookEx(t_closeHook);
        t_closeHook = nullptr;
    }
}

// Shows a sheet through show() with the marker that closes it already posted.
bool OpenAndCancel(const std::function<void()>& show)
{
    t_sheetSeen = false;
    t_markerRounds = 0;
    PostThreadMessageW(GetCurrentThreadId(), kCloseMarker, 0, 0);
    show();
    return t_sheetSeen;
}

// An empty page as the resource compiler would lay out the Type page's template without its controls.
#include <pshpack2.h>
struct EmptyPageTemplate {
    DLGTEMPLATE dialog;
    WORD menu;
    WORD windowClass;
    wchar_t title[5];
    WORD pointSize;
    wchar_t font[14];
};
#include <poppack.h>

const EmptyPageTemplate kEmptyPage = {
    { DS_SETFONT | WS_CHILD | WS_CAPTION | WS_DISABLED, 0, 0, 0, 0, 232, 174 }, 0, 0, L"Type", 8, L"MS Sans Serif",
};

INT_PTR CALLBACK EmptyPageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

const UINT kTypeFlags = SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES;
const UINT kIconFlags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

template <class Visit> void ForEachExtension(Visit visit)
{
    WCHAR name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = ARRAYSIZE(name);
        LONG err = RegEnumKeyExW(HKEY_CLASSES_ROOT, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (err == ERROR_NO_MORE_ITEMS)
            break;
        if (err == ERROR_SUCCESS && name[0] == L'.')
            visit(name);
    }
}

}

void TypeListFloor::operator()() const
{
    UINT flags = kTypeFlags | (icons ? kIconFlags : 0);
    ForEachExtension([flags](LPCWSTR name) {
        SHFILEINFOW info = {};
        SHGetFileInfoW(name, 0, &info, sizeof(info), flags);
    });
}

int TypeListFloor::CountExtensions()
{
    int count = 0;
    ForEachExtension([&count](LPCWSTR) { ++count; });
    return count;
}

CSheetOpening::CSheetOpening(IDataObject* selection, InfoPage page) : m_selection(selection), m_page(page)
{
    UseCloseHook();
}

CSheetOpening::~CSheetOpening()
{
    ReleaseCloseHook();
}

void CSheetOpening::Prepare(int count)
{
    m_handlers.clear();
    for (int i = 0; i < count; ++i) {
        m_handlers.emplace_back(new Parameters);
        m_handlers.back()->GetFileList(m_selection);
    }
}

bool CSheetOpening::Run()
{
    std::unique_ptr<Parameters> handler;
    if (m_handlers.empty()) {
        handler.reset(new Parameters);
        handler->GetFileList(m_selection);
    } else {
        handler = std::move(m_handlers.back());
        m_handlers.pop_back();
    }
    return OpenAndCancel([&] { ShowInfoSheet(*handler, m_page, nullptr); });
}

CBareSheetOpening::CBareSheetOpening()
{
    UseCloseHook();
}

CBareSheetOpening::~CBareSheetOpening()
{
    ReleaseCloseHook();
}

bool CBareSheetOpening::Run()
{
    return OpenAndCancel([] {
        PROPSHEETPAGEW page = { sizeof(page) };
        page.dwFlags = PSP_DLGINDIRECT;
        page.pResource = &kEmptyPage.dialog;
        page.pfnDlgProc = &EmptyPageProc;
        PROPSHEETHEADERW header = { sizeof(header) };
        header.dwFlags = PSH_PROPSHEETPAGE;
        header.pszCaption = L"note.txt";
        header.nPages = 1;
        header.ppsp = &page;
        PropertySheetW(&header);
    });
}

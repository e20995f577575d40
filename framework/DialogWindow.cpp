#include "DialogWindow.h"
#include "App.h"
#include "DialogMessageBox.h"
#include "SubclassedWindow.h"

namespace {

// Messages whose answer a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    }
    return false;
}

}

HINSTANCE CDialogWindow::ResourceInstance()
{
    CApp* app = CApp::Current();
    if (app && app->GetInstance())
        return app->GetInstance();
    return ::GetModuleHandle(nullptr);
}

CString CDialogWindow::WindowText(HWND window)
{
    CString text;
    if (!window)
        return text;
    int length = ::GetWindowTextLength(window);
    LPTSTR buffer = text.GetBuffer(length);
    if (!buffer)
        return text;
    int copied = ::GetWindowText(window, buffer, length + 1);
    text.ReleaseBuffer(copied >= 0 && copied <= length ? copied : 0);
    return text;
}

bool CDialogWindow::UpdateData(bool save)
{
    if (!m_hwnd)
        return false;
    CDataExchange exchange(m_hwnd, save);
    DoDataExchange(exchange);
    if (HWND invalid = exchange.InvalidControl()) {
        ReportInvalidInput(exchange.InvalidReason());
        ::SetFocus(invalid);
        ::SendMessage(invalid, EM_SETSEL, 0, -1);
    }
    return exchange.Succeeded();
}

void CDialogWindow::ReportInvalidInput(LPCTSTR reason)
{
    AppMessageBox(reason, MB_OK | MB_ICONEXCLAMATION);
}

BOOL CDialogWindow::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

bool CDialogWindow::OnCommand(UINT, UINT, HWND)
{
    return false;
}

bool CDialogWindow::OnNotify(NMHDR*, LRESULT&)
{
    return false;
}

bool CDialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        result = 0;
        return OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
    }
    return false;
}

CDialogWindow* CDialogWindow::FromHandle(HWND hwnd)
{
    return reinterpret_cast<CDialogWindow*>(::GetWindowLongPtr(hwnd, DWLP_USER));
}

INT_PTR CDialogWindow::Dispatch(CDialogWindow* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG && self) {
        ::SetWindowLongPtr(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hwnd = hwnd;
    } else {
        self = FromHandle(hwnd);
    }
    if (!self)
        return FALSE;
    LRESULT result = 0;
    // A control that handles its own notifications answers them before the dialog sees them.
    bool handled = CSubclassedWindow::ReflectToControl(message, wParam, lParam, result)
        || self->OnMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtr(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    if (!handled)
        return FALSE;
    if (AnswersDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtr(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

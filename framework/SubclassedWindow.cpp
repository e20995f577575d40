#include "SubclassedWindow.h"
#include <commctrl.h>

namespace {

const UINT_PTR kSubclassId = 1;
// Names the object on its window: the platform's lookup of a subclass is not exported by name.
const TCHAR kObjectProperty[] = TEXT("Framework.SubclassedWindow");

// The control a parent's message is about, for the messages that are reflected.
HWND ControlOf(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    }
    return nullptr;
}

}

bool CSubclassedWindow::SubclassWindow(HWND hwnd)
{
    if (m_hwnd || !hwnd || FromHandle(hwnd))
        return false;
    if (!::SetProp(hwnd, kObjectProperty, this))
        return false;
    if (!::SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        ::RemoveProp(hwnd, kObjectProperty);
        return false;
    }
    m_hwnd = hwnd;
    return true;
}

void CSubclassedWindow::UnsubclassWindow()
{
    if (!m_hwnd)
        return;
    ::RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
    ::RemoveProp(m_hwnd, kObjectProperty);
    m_hwnd = nullptr;
}

CSubclassedWindow* CSubclassedWindow::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<CSubclassedWindow*>(::GetProp(hwnd, kObjectProperty)) : nullptr;
}

bool CSubclassedWindow::ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    CSubclassedWindow* control = FromHandle(ControlOf(message, lParam));
    return control && control->OnReflectedMessage(message, wParam, lParam, result);
}

bool CSubclassedWindow::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

bool CSubclassedWindow::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CALLBACK CSubclassedWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR data)
{
    auto* self = reinterpret_cast<CSubclassedWindow*>(data);
    if (message == WM_NCDESTROY) {
        self->UnsubclassWindow();
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->OnMessage(message, wParam, lParam, result))
        return result;
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

#include "StaticControl.h"
#include "DialogWindow.h"

CString CStatic::GetText() const
{
    return CDialogWindow::WindowText(GetHwnd());
}

HFONT CStatic::GetFont() const
{
    return GetHwnd() ? reinterpret_cast<HFONT>(::SendMessage(GetHwnd(), WM_GETFONT, 0, 0)) : nullptr;
}

DWORD CStatic::GetStyle() const
{
    return GetHwnd() ? static_cast<DWORD>(::GetWindowLongPtr(GetHwnd(), GWL_STYLE)) : 0;
}

void CStatic::AddStyle(DWORD style) const
{
    DWORD current = GetStyle();
    if (GetHwnd() && (current & style) != style)
        ::SetWindowLongPtr(GetHwnd(), GWL_STYLE, static_cast<LONG_PTR>(current | style));
}

#include "ThreadWindows.h"

CThreadWindows::CThreadWindows()
{
    ::EnumThreadWindows(::GetCurrentThreadId(), &CThreadWindows::Collect, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK CThreadWindows::Collect(HWND window, LPARAM param)
{
    auto* self = reinterpret_cast<CThreadWindows*>(param);
    if (self->m_count < int(ARRAYSIZE(self->m_windows)))
        self->m_windows[self->m_count++] = window;
    return TRUE;
}

void CThreadWindows::CancelVisible() const
{
    for (int i = 0; i < m_count; ++i)
        if (::IsWindowVisible(m_windows[i]))
            ::PostMessageW(m_windows[i], WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The top-level windows of the calling thread (up to 64), as EnumThreadWindows lists them.
#pragma once
#include <windows.h>

class CThreadWindows {
public:
    CThreadWindows();
    int Count() const { return m_count; }
    HWND operator[](int i) const { return m_windows[i]; }
    // Posts a click on Cancel to every visible one.
    void CancelVisible() const;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self);

    HWND m_windows[64];
    int m_count = 0;
};

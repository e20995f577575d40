// Keeps Wine's default desktop up for a whole test run, and with it the one clipboard manager of the
// window station, which lives in that desktop's explorer.
//
// Wine runs one clipboard manager per window station, in the explorer of a desktop. When that
// explorer ends (its desktop's last program ended), the explorer of another desktop takes over and
// empties the clipboard as it starts, whatever a program on any desktop had just copied. Test
// programs come and go on desktops of their own; this program stays on the default one until the
// wineserver is stopped, so the manager never moves during the run.
//
// Prints "ready" once the manager's window is on this desktop.
#include <windows.h>
#include <cstdio>

int main()
{
    // Any window ties the process to the desktop, which Wine then keeps.
    HWND anchor = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!anchor)
        return 1;
    for (int waited = 0; waited < 30000; waited += 50) {
        if (FindWindowExW(HWND_MESSAGE, nullptr, L"__wine_clipboard_manager", nullptr)) {
            std::puts("ready");
            std::fflush(stdout);
            Sleep(INFINITE);
        }
        Sleep(50);
    }
    std::puts("no clipboard manager on the default desktop");
    return 1;
}

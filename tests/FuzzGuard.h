// Turns a crash or a hang of a fuzz program into a one-line report of where it happened and a
// failed run: a vectored handler reports any fault, and a watchdog ends the process when no step
// has been reported for the given time. Nothing waits on a debugger's crash dialog.
#pragma once
#include <windows.h>

class CFuzzGuard {
public:
    explicit CFuzzGuard(DWORD watchdogMs);
    ~CFuzzGuard();
    CFuzzGuard(const CFuzzGuard&) = delete;
    CFuzzGuard& operator=(const CFuzzGuard&) = delete;

    // Where the run is, named in a report; each call counts as progress. name must stay valid.
    static void At(int sequence, int step, const char* name);

private:
    static DWORD WINAPI Watchdog(void* self);
    static LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception);

    DWORD m_watchdogMs;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    void* m_handler = nullptr;
};

#include "FuzzGuard.h"
#include <atomic>
#include <cstdio>

namespace {

std::atomic<int> g_sequence{ -1 };
std::atomic<int> g_step{ 0 };
std::atomic<long> g_progress{ 0 };
std::atomic<const char*> g_name{ "" };

}

CFuzzGuard::CFuzzGuard(DWORD watchdogMs) : m_watchdogMs(watchdogMs)
{
    m_handler = AddVectoredExceptionHandler(1, &CFuzzGuard::ReportCrash);
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, &CFuzzGuard::Watchdog, this, 0, nullptr);
}

CFuzzGuard::~CFuzzGuard()
{
    SetEvent(m_stop);
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    CloseHandle(m_stop);
    if (m_handler)
        RemoveVectoredExceptionHandler(m_handler);
}

void CFuzzGuard::At(int sequence, int step, const char* name)
{
    g_sequence = sequence;
    g_step = step;
    g_name = name;
    g_progress++;
}

DWORD WINAPI CFuzzGuard::Watchdog(void* param)
{
    auto* self = static_cast<CFuzzGuard*>(param);
    long seen = -1;
    while (WaitForSingleObject(self->m_stop, self->m_watchdogMs) == WAIT_TIMEOUT) {
        long now = g_progress.load();
        if (now == seen) {
            fprintf(stderr, "fuzz: sequence %d step %d (%s) did not return within %lu ms\n", g_sequence.load(),
                    g_step.load(), g_name.load(), self->m_watchdogMs);
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        seen = now;
    }
    return 0;
}

LONG WINAPI CFuzzGuard::ReportCrash(EXCEPTION_POINTERS* exception)
{
    DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (code < 0xC0000000 || code == 0xE06D7363)  // debug output, notices, C++ exceptions caught inside
        return EXCEPTION_CONTINUE_SEARCH;
    void* address = exception->ExceptionRecord->ExceptionAddress;
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(address), &module))
        GetModuleFileNameA(module, name, MAX_PATH);
    fprintf(stderr, "fuzz: exception %08lx at %p (%s+%llx) in sequence %d step %d (%s)\n", code, address, name,
            static_cast<unsigned long long>(static_cast<char*>(address) - reinterpret_cast<char*>(module)),
            g_sequence.load(), g_step.load(), g_name.load());
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 2);  // a debugger's crash dialog must not hold the run
    return EXCEPTION_CONTINUE_SEARCH;
}

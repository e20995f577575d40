#include "Trace.h"
#include "ComModule.h"
#include <new>

namespace {
CTraceSink* g_sink = nullptr;
}

CTraceSink* CTraceSink::Acquire()
{
    CCriticalSectionLock lock(ComModule().GetCriticalSection());
    if (g_sink) {
        ::InterlockedIncrement(&g_sink->m_refs);
        return g_sink;
    }
    g_sink = new (std::nothrow) CTraceSink();
    return g_sink;
}

void CTraceSink::Release()
{
    CCriticalSectionLock lock(ComModule().GetCriticalSection());
    if (::InterlockedDecrement(&m_refs) == 0) {
        if (g_sink == this)
            g_sink = nullptr;
        delete this;
    }
}

void Trace(LPCWSTR format, ...)
{
    (void)format;
}

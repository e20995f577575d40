// The shared diagnostic trace sink. Its output goes nowhere; nothing depends on it.
#pragma once
#include <windows.h>

class CTraceSink {
public:
    // Returns the sink with a new reference, creating it on first use; null when out of memory.
    static CTraceSink* Acquire();
    void Release();
    void Output(LPCWSTR format, ...) {}

private:
    CTraceSink() = default;
    volatile LONG m_refs = 1;
};

// Passes a trace text to the sink when one exists.
void Trace(LPCWSTR format, ...);

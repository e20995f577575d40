#include "ShellStart.h"
#include "DesktopShell.h"
#include "Holders.h"

namespace {

// The 8-bit text as a wide one in a block of its own; null when it cannot be made.
LPWSTR Widened(LPCSTR text)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    auto* wide = length > 0 ? static_cast<LPWSTR>(::CoTaskMemAlloc(SIZE_T(length) * sizeof(WCHAR))) : nullptr;
    if (wide && ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, length) == 0) {
        ::CoTaskMemFree(wide);
        wide = nullptr;
    }
    return wide;
}

bool StartThroughShellDispatch(LPCSTR program, LPCSTR arguments)
{
    CCoTaskMem wideProgram(Widened(program)), wideArguments(Widened(arguments));
    return wideProgram.IsValid() && wideArguments.IsValid()
        && SUCCEEDED(StartFromDesktop(static_cast<LPCWSTR>(wideProgram.Get()), static_cast<LPCWSTR>(wideArguments.Get()),
                                      SW_HIDE));
}

DesktopShellStarter g_starter = &StartThroughShellDispatch;

}

bool StartFromDesktopShell(LPCSTR program, LPCSTR arguments)
{
    return g_starter(program, arguments);
}

DesktopShellStarter SetDesktopShellStarter(DesktopShellStarter starter)
{
    DesktopShellStarter previous = g_starter;
    g_starter = starter ? starter : &StartThroughShellDispatch;
    return previous;
}

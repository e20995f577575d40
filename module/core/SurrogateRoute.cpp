#include "SurrogateRoute.h"
#include "DesktopShell.h"
#include "MorvaneApp.h"
#include <shlwapi.h>

namespace {

// CreateProcess takes at most 32,767 characters; Explorer's own limit leaves room for the program.
const int kMaxArguments = 30000;
const WCHAR kRunnerFile[] = L"MorvaneRun.exe";

bool SurrogateByName()
{
    WCHAR program[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    return length > 0 && length < MAX_PATH && ::lstrcmpiW(::PathFindFileNameW(program), L"dllhost.exe") == 0;
}

// The process's name does not change: it is read once (-1: not yet). Two threads may both read
// it; they agree. Tests set it.
volatile LONG g_surrogate = -1;
RunnerStarter g_starter = nullptr;

}

bool HostIsSurrogate()
{
    if (g_surrogate < 0)
        ::InterlockedExchange(&g_surrogate, SurrogateByName() ? 1 : 0);
    return g_surrogate == 1;
}

CString RunnerArguments(UINT offset, const CArray<CString>& paths)
{
    CString arguments;
    arguments.Format(L"%u", offset);
    for (const CString& path : paths) {
        arguments += L" \"";
        arguments += path;
        arguments += L'"';
    }
    return arguments;
}

bool RunInRunner(UINT offset, const CArray<CString>& paths)
{
    CString runner = GetModulePath(ModuleInstance());
    int slash = runner.ReverseFind(L'\\');
    if (slash < 0 || paths.IsEmpty())
        return false;
    runner.Truncate(slash + 1);
    runner += kRunnerFile;
    if (::GetFileAttributesW(runner) == INVALID_FILE_ATTRIBUTES)
        return false;
    CString arguments = RunnerArguments(offset, paths);
    if (arguments.GetLength() > kMaxArguments)
        return false;
    RunnerStarter start = g_starter ? g_starter : &StartFromDesktop;
    return SUCCEEDED(start(runner, arguments, SW_SHOWNORMAL));
}

void SetSurrogateRoute(bool surrogate, RunnerStarter starter)
{
    ::InterlockedExchange(&g_surrogate, surrogate ? 1 : 0);
    g_starter = starter;
}

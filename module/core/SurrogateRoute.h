// Windows 11's first-level menu loads the module into the COM surrogate (dllhost.exe), a process
// that has no window of the user's and may not take the foreground: a sheet opened there would lie
// behind Explorer. There a command runs in MorvaneRun.exe instead, which Explorer starts, so that
// what the command shows comes to the front like any program the user starts.
#pragma once
#include "Array.h"
#include "Str.h"

// Whether this process is the COM surrogate.
bool HostIsSurrogate();
// The runner's arguments: the command offset, then each path in quotes (no path holds a quote).
CString RunnerArguments(UINT offset, const CArray<CString>& paths);
// Has Explorer start MorvaneRun.exe, which lies beside the module, for the command on the paths;
// false when it could not be started, and the caller runs the command itself.
bool RunInRunner(UINT offset, const CArray<CString>& paths);

// Tests: whether the process counts as the surrogate, and what starts the runner (null: Explorer).
using RunnerStarter = HRESULT (*)(LPCWSTR program, LPCWSTR arguments, int show);
void SetSurrogateRoute(bool surrogate, RunnerStarter starter);

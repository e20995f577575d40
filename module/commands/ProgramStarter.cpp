#include "ProgramStarter.h"
#include "Holders.h"
#include "Trace.h"

namespace {

CString InFolder(UINT (WINAPI* folderOf)(LPWSTR, UINT), LPCWSTR name)
{
    WCHAR folder[MAX_PATH];
    UINT length = folderOf(folder, MAX_PATH);
    CString path;
    if (length == 0 || length >= MAX_PATH)
        return path;
    path = folder;
    if (path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    path += name;
    return path;
}

void CreateProgramProcess(const ProgramLaunch& launch)
{
    if (launch.application.IsEmpty())
        return;
    // CreateProcessW may write to the command line, so it gets a copy of its own.
    CString commandLine = launch.commandLine;
    LPWSTR line = commandLine.GetBuffer(commandLine.GetLength());
    if (!line)
        return;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = launch.startFlags;
    PROCESS_INFORMATION process = {};
    BOOL started = ::CreateProcessW(launch.application, line, nullptr, nullptr, launch.inheritHandles, 0, nullptr,
                                    nullptr, &startup, &process);
    Trace(L"Create process -> %d\n", int(started ? 0 : ::GetLastError()));
    if (started) {
        CKernelHandle thread(process.hThread);
        CKernelHandle child(process.hProcess);
    }
}

ProgramStarter g_starter = &CreateProgramProcess;

}

CString WindowsFolderProgram(LPCWSTR name)
{
    // The shared Windows folder: GetWindowsDirectory names a private one on a terminal server.
    return InFolder(&::GetSystemWindowsDirectoryW, name);
}

CString SystemFolderProgram(LPCWSTR name)
{
    return InFolder(&::GetSystemDirectoryW, name);
}

void StartProgram(const ProgramLaunch& launch)
{
    g_starter(launch);
}

ProgramStarter SetProgramStarter(ProgramStarter starter)
{
    ProgramStarter previous = g_starter;
    g_starter = starter ? starter : &CreateProgramProcess;
    return previous;
}

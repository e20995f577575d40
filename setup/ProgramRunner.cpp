#include "ProgramRunner.h"
#include "Holders.h"

namespace {

bool CreateAndWait(const ProgramRun& run)
{
    if (run.application.IsEmpty())
        return false;
    // CreateProcessA may write to the command line, so it gets a copy of its own.
    CString commandLine = run.commandLine;
    LPSTR line = commandLine.GetBuffer(commandLine.GetLength());
    if (!line)
        return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(run.application, line, nullptr, nullptr, run.inheritHandles, run.creationFlags, nullptr,
                          nullptr, &startup, &process))
        return false;
    CKernelHandle thread(process.hThread);
    CKernelHandle child(process.hProcess);
    // A program still running at the limit is left to finish; its work counts as not done.
    DWORD exitCode = 1;
    return ::WaitForSingleObject(child, run.timeoutMs) == WAIT_OBJECT_0 && ::GetExitCodeProcess(child, &exitCode) &&
           exitCode == 0;
}

ProgramRunner g_runner = &CreateAndWait;

}

CString SystemFolderProgram(LPCSTR relativePath)
{
    char folder[MAX_PATH];
    UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    CString path;
    if (length == 0 || length >= MAX_PATH)
        return path;
    path = folder;
    if (path[path.GetLength() - 1] != '\\')
        path += '\\';
    path += relativePath;
    return path;
}

bool RunProgram(const ProgramRun& run)
{
    return g_runner(run);
}

ProgramRunner SetProgramRunner(ProgramRunner runner)
{
    ProgramRunner previous = g_runner;
    g_runner = runner ? runner : &CreateAndWait;
    return previous;
}

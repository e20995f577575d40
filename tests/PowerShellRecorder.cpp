// Stands in for powershell.exe in the Windows 11 test prefix: appends a line to
// C:\powershell-runs.log with the program that started it and its command line, and succeeds.
#include <windows.h>
#include <tlhelp32.h>
#include <string>

namespace {

std::string ParentProgram()
{
    DWORD self = GetCurrentProcessId(), parent = 0;
    std::string name = "?";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return name;
    PROCESSENTRY32 entry = { sizeof(entry) };
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == self)
            parent = entry.th32ParentProcessID;
    }
    for (BOOL more = Process32First(snapshot, &entry); more && parent; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == parent)
            name = entry.szExeFile;
    }
    CloseHandle(snapshot);
    return name;
}

}

int main()
{
    std::string line = ParentProgram() + "\t" + GetCommandLineA() + "\n";
    HANDLE log = CreateFileA("C:\\powershell-runs.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(log, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(log);
    return 0;
}

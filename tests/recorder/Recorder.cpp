// Stands in for notepad.exe and explorer.exe beside the test programs: appends the program's own
// path and the command line it was started with, as one UTF-8 line "program|command line", to the
// file named by MORVANE_RECORDER_LOG, then exits.
#include <windows.h>

int main()
{
    wchar_t log[MAX_PATH];
    if (!GetEnvironmentVariableW(L"MORVANE_RECORDER_LOG", log, MAX_PATH))
        return 1;
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::size_t length = lstrlenW(program) + 1 + lstrlenW(GetCommandLineW()) + 2;
    wchar_t* line = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, length * sizeof(wchar_t)));
    if (!line)
        return 1;
    lstrcpyW(line, program);
    lstrcatW(line, L"|");
    lstrcatW(line, GetCommandLineW());
    lstrcatW(line, L"\n");
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (!text)
        return 1;
    WideCharToMultiByte(CP_UTF8, 0, line, -1, text, bytes, nullptr, nullptr);
    // Several starts may append at once: retry while another holds the file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, text, DWORD(bytes - 1), &written, nullptr);
            CloseHandle(file);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

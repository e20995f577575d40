#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "Holders.h"
#include "TestSupport.h"

namespace {

// Every test program runs on a desktop of its own, so that windows, the focus, the foreground window
// and the cursor of one program never meet another's while CTest runs several at once on the same
// display. The program starts itself again on a new desktop and reports what that copy reports.
const wchar_t kDesktopPrefix[] = L"morvane-";
// Where Wine reads the size of a desktop that it shows as a window of its own: each such desktop
// keeps its focus and activation apart from the others' (Windows ignores the key).
const wchar_t kWineDesktopSizes[] = L"Software\\Wine\\Explorer\\Desktops";
const wchar_t kDesktopSize[] = L"1280x1024";

std::wstring CurrentDesktopName()
{
    wchar_t name[256] = {};
    DWORD needed = 0;
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof(name) - sizeof(wchar_t), &needed);
    return name;
}

bool OnOwnDesktop()
{
    return CurrentDesktopName().compare(0, wcslen(kDesktopPrefix), kDesktopPrefix) == 0;
}

// The size entry for Wine, removed again when the holder goes.
class CDesktopSizeEntry {
public:
    explicit CDesktopSizeEntry(const std::wstring& desktop) : m_desktop(desktop)
    {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kWineDesktopSizes, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &m_key, nullptr) == ERROR_SUCCESS)
            RegSetValueExW(m_key, m_desktop.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kDesktopSize), sizeof(kDesktopSize));
    }
    ~CDesktopSizeEntry()
    {
        if (m_key.IsValid())
            RegDeleteValueW(m_key, m_desktop.c_str());
    }

private:
    std::wstring m_desktop;
    CRegKeyHandle m_key;
};

struct DesktopTraits {
    using Type = HDESK;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CloseDesktop(h); }
};

// Runs this program's own command line again on a new desktop with the same standard handles and
// returns its exit code; the copy dies with this process (a CTest timeout kills this one).
int RunOnOwnDesktop()
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring base = exe;
    base = base.substr(base.find_last_of(L"\\/") + 1);
    const std::wstring desktop = kDesktopPrefix + base + L"-" + std::to_wstring(GetCurrentProcessId());

    CDesktopSizeEntry size(desktop);
    CHandleT<DesktopTraits> desk(CreateDesktopW(desktop.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    if (!desk.IsValid()) {
        fwprintf(stderr, L"cannot create the desktop %ls (error %lu)\n", desktop.c_str(), GetLastError());
        return 1;
    }
    // The copy's threads and the processes they start get the desktop of the thread that starts the
    // copy (under Wine, lpDesktop alone moves only the copy's first thread).
    if (!SetThreadDesktop(desk)) {
        fwprintf(stderr, L"cannot move to the desktop %ls (error %lu)\n", desktop.c_str(), GetLastError());
        return 1;
    }
    CKernelHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    std::wstring commandLine = GetCommandLineW();
    STARTUPINFOW startup = { sizeof(startup) };
    startup.lpDesktop = const_cast<wchar_t*>(desktop.c_str());
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!StartProcess(commandLine, CREATE_SUSPENDED, startup, process, exe)) {
        fwprintf(stderr, L"cannot start %ls on its own desktop (error %lu)\n", exe, GetLastError());
        return 1;
    }
    CKernelHandle child(process.hProcess), thread(process.hThread);
    AssignProcessToJobObject(job, child);
    ResumeThread(thread);
    WaitForSingleObject(child, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(child, &exitCode);
    return int(exitCode);
}

// Wine brings a new desktop up with the first window made on it, and its clipboard some time after:
// under load a test could find neither yet. Waits until both can be had.
bool WaitForDesktop()
{
    return WaitUntil(30000, [] {
        CWindowHandle probe(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        if (!probe.IsValid() || !OpenClipboard(probe))
            return false;
        CloseClipboard();
        return true;
    }, 50);
}

}

int main(int argc, char** argv)
{
    // Never stop on a system error box: a test must fail, not wait.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // MORVANE_SHARED_DESKTOP=1 keeps the program on the desktop it was started on (to watch it).
    if (!OnOwnDesktop() && !GetEnvironmentVariableW(L"MORVANE_SHARED_DESKTOP", nullptr, 0))
        return RunOnOwnDesktop();
    if (OnOwnDesktop() && !WaitForDesktop())
        fwprintf(stderr, L"the desktop %ls gave no window or clipboard within 30 s\n", CurrentDesktopName().c_str());
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}

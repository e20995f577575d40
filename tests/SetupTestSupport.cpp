#include "SetupTestSupport.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <prsht.h>
#include <sddl.h>
#include <shlwapi.h>
#include <functional>
#include "FolderTree.h"

const char kHandlerClsid[] = "{5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}";
const char kLoggerClsid[] = "{6F3A91C2-0B7D-4E58-A1C6-93D04B2E7F18}";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvane";

namespace {

const int kFinishButton = 0x3025;
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";
const UINT kMessageTimeoutMs = 2000;
LONG g_folderCounter = 0;

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::vector<std::wstring> SplitMultiString(const std::vector<BYTE>& data)
{
    std::vector<std::wstring> parts;
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
    size_t count = data.size() / sizeof(wchar_t);
    std::wstring current;
    for (size_t i = 0; i < count; ++i) {
        if (text[i]) {
            current += text[i];
            continue;
        }
        parts.push_back(current);
        current.clear();
    }
    // A multi-string ends with an empty string; drop the closing terminators.
    while (!parts.empty() && parts.size() % 2 && parts.back().empty())
        parts.pop_back();
    return parts;
}

bool ReadPending(std::vector<BYTE>& data)
{
    CRegKeyHandle key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (RegQueryValueExW(key, kPendingValue, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return RegQueryValueExW(key, kPendingValue, nullptr, nullptr, data.data(), &size) == ERROR_SUCCESS;
}

}

std::string Narrow(const std::wstring& text)
{
    return ToNarrow(text);
}

std::string BinFolder()
{
    return Narrow(ExeFolder());
}

std::string BuiltSetupPath()
{
    return BinFolder() + "\\Setup.exe";
}

void RemoveAnyInstallation()
{
    CLibrary module(LoadLibraryW(BuiltModulePath().c_str()));
    using Export = HRESULT(STDAPICALLTYPE*)();
    if (auto unregister = reinterpret_cast<Export>(GetProcAddress(module, "DllUnregisterServer")))
        unregister();
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Tovarik\\Quarnel");
}

bool RegisterModuleAt(const std::string& path)
{
    CLibrary module(LoadLibraryA(path.c_str()));
    using Export = HRESULT(STDAPICALLTYPE*)();
    auto registerServer = reinterpret_cast<Export>(GetProcAddress(module, "DllRegisterServer"));
    return registerServer && SUCCEEDED(registerServer());
}

bool ReadText(HKEY root, const std::string& key, const char* value, std::string& text)
{
    CRegKeyHandle handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1, type = 0;
    if (RegQueryValueExA(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    text = buffer;
    return true;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CopyInto(const std::string& source, const std::string& target)
{
    CopyFileA(source.c_str(), target.c_str(), FALSE);
}

CInstallFolder::CInstallFolder(const char* tag)
{
    char programFiles[MAX_PATH] = {};
    DWORD size = sizeof(programFiles);
    SHGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", nullptr,
                programFiles, &size);
    char name[MAX_PATH];
    wsprintfA(name, "%s\\Morvane %s %lu %ld", programFiles, tag, GetCurrentProcessId(),
              InterlockedIncrement(&g_folderCounter));
    m_path = name;
    RemoveTree(ToWide(m_path.c_str()));
}

CInstallFolder::~CInstallFolder()
{
    RemoveTree(ToWide(m_path.c_str()));
}

CReadOnlySessionManager::CReadOnlySessionManager()
{
    CRegKeyHandle key;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, READ_CONTROL | WRITE_DAC, &key));
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    m_saved.resize(size);
    EXPECT_EQ(ERROR_SUCCESS, RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, m_saved.data(), &size));
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)(A;;RCWD;;;WD)", SDDL_REVISION_1,
                                                                     &readOnly, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, readOnly));
    LocalFree(readOnly);
}

CReadOnlySessionManager::~CReadOnlySessionManager()
{
    CRegKeyHandle key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, WRITE_DAC, &key) == ERROR_SUCCESS && !m_saved.empty())
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, m_saved.data());
}

CPendingRenames::CPendingRenames()
{
    m_existed = ReadPending(m_saved);
}

CPendingRenames::~CPendingRenames()
{
    CRegKeyHandle key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (m_existed)
        RegSetValueExW(key, kPendingValue, 0, REG_MULTI_SZ, m_saved.data(), DWORD(m_saved.size()));
    else
        RegDeleteValueW(key, kPendingValue);
}

std::vector<std::pair<std::wstring, std::wstring>> CPendingRenames::Added() const
{
    std::vector<BYTE> now;
    ReadPending(now);
    std::vector<std::wstring> before = SplitMultiString(m_saved), after = SplitMultiString(now);
    std::vector<std::pair<std::wstring, std::wstring>> added;
    for (size_t i = before.size(); i + 1 < after.size(); i += 2)
        added.emplace_back(after[i], after[i + 1]);
    return added;
}

std::string TextOf(HWND window)
{
    char buffer[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &copied);
    return buffer;
}

void SetTextOf(HWND window, const std::string& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &result);
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The unelevated token that an administrator's elevated token is linked to.
CKernelHandle LimitedToken()
{
    HANDLE own = nullptr;
    CKernelHandle limited;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own))
        return limited;
    CKernelHandle ownToken(own);
    TOKEN_LINKED_TOKEN linked = {};
    DWORD size = 0;
    HANDLE primary = nullptr;
    if (GetTokenInformation(own, TokenLinkedToken, &linked, sizeof(linked), &size)) {
        CKernelHandle linkedToken(linked.LinkedToken);
        if (DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                             &primary))
            limited.Attach(primary);
    }
    return limited;
}

CSetupProcess::CSetupProcess(const std::string& program, const std::string& arguments, bool unelevated)
{
    std::string command = "\"" + program + "\"";
    if (!arguments.empty())
        command += " " + arguments;
    STARTUPINFOA startup = { sizeof(startup) };
    PROCESS_INFORMATION info = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    CKernelHandle token = unelevated ? LimitedToken() : CKernelHandle();
    if (unelevated && !token.IsValid()) {
        ADD_FAILURE() << "no unelevated token to start " << program << " with";
        return;
    }
    BOOL started = unelevated ? CreateProcessAsUserA(token, program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                                     nullptr, nullptr, &startup, &info)
                              : CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                               nullptr, &startup, &info);
    if (started) {
        m_process.Attach(info.hProcess);
        CloseHandle(info.hThread);
        m_id = info.dwProcessId;
    }
}

CSetupProcess::~CSetupProcess()
{
    if (m_process.IsValid() && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
}

std::vector<HWND> CSetupProcess::TopLevelWindows() const
{
    struct Search {
        DWORD id;
        std::vector<HWND> found;
    } search = { m_id, {} };
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->id && IsWindowVisible(window) && ClassOf(window) == "#32770")
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool CSetupProcess::WaitForMessageBox(FoundWindow& box, DWORD timeoutMs)
{
    return WaitUntil(timeoutMs, [&] {
        for (HWND window : TopLevelWindows()) {
            HWND text = GetDlgItem(window, 0xFFFF);
            if (!text || ClassOf(text) != "Static")
                continue;
            box.hwnd = window;
            box.caption = TextOf(window);
            box.text = TextOf(text);
            return true;
        }
        return false;
    });
}

bool CSetupProcess::WaitForDialog(const char* caption, FoundWindow& dialog, DWORD timeoutMs)
{
    return WaitUntil(timeoutMs, [&] {
        for (HWND window : TopLevelWindows()) {
            if (TextOf(window) == caption) {
                dialog.hwnd = window;
                dialog.caption = caption;
                return true;
            }
        }
        return false;
    });
}

HWND CSetupProcess::WaitForSheet(DWORD timeoutMs)
{
    HWND sheet = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND window : TopLevelWindows()) {
            DWORD_PTR page = 0;
            if (SendMessageTimeoutA(window, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &page) &&
                page) {
                sheet = window;
                return true;
            }
        }
        return false;
    });
    return sheet;
}

HWND CSetupProcess::WaitForPage(HWND sheet, int controlId, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] {
        DWORD_PTR page = 0;
        if (!SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &page) ||
            !page || !GetDlgItem(reinterpret_cast<HWND>(page), controlId) || !IsWindowEnabled(sheet))
            return false;
        found = reinterpret_cast<HWND>(page);
        return true;
    });
    return found;
}

int CSetupProcess::WaitForExit(DWORD timeoutMs)
{
    if (!m_process.IsValid())
        return -1;
    if (WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return int(code);
}

FoundWindow AnswerMessageBox(CSetupProcess& setup, int button)
{
    FoundWindow box;
    if (!setup.WaitForMessageBox(box))
        return box;
    PressButton(box.hwnd, button);
    // Gone before the next box is looked for, so that a closing box is never taken for it.
    WaitUntil(10000, [&] { return !IsWindow(box.hwnd); });
    return box;
}

std::string ItemText(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}

void PressWizard(HWND sheet, int button)
{
    PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
}

bool HasChildText(HWND page, const char* text)
{
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child) == text)
            return true;
    }
    return false;
}

HWND WaitForCompletionPage(HWND sheet)
{
    DWORD_PTR page = 0;
    bool reached = WaitUntil(30000, [&] {
        page = 0;
        SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 2000, &page);
        return page && !GetDlgItem(HWND(page), 1003) && TextOf(GetDlgItem(sheet, kFinishButton)) == "Close" &&
               !IsWindowEnabled(GetDlgItem(sheet, IDCANCEL));
    });
    return reached ? HWND(page) : nullptr;
}

HWND WizardToReadyPage(CSetupProcess& setup, const std::string& folder, bool expectCreate)
{
    HWND sheet = setup.WaitForSheet();
    EXPECT_TRUE(sheet);
    if (!sheet)
        return nullptr;
    HWND welcome = setup.WaitForPage(sheet, 1009);
    EXPECT_TRUE(welcome);
    PressWizard(sheet, PSBTN_NEXT);
    HWND location = setup.WaitForPage(sheet, 1002);
    EXPECT_TRUE(location);
    if (!location)
        return nullptr;
    SetTextOf(GetDlgItem(location, 1002), folder);
    PressWizard(sheet, PSBTN_NEXT);
    if (expectCreate) {
        FoundWindow create = AnswerMessageBox(setup, IDYES);
        EXPECT_EQ("Create path?", create.caption);
        EXPECT_EQ("Path '" + folder + "' does not exist - would you like to create it?", create.text);
    }
    HWND ready = setup.WaitForPage(sheet, 1003);
    EXPECT_TRUE(ready);
    return ready ? sheet : nullptr;
}

std::string InstallWithWizard(const std::string& program, const std::string& folder, bool unelevated)
{
    CSetupProcess setup(program, "", unelevated);
    EXPECT_TRUE(setup.Started());
    HWND sheet = WizardToReadyPage(setup, folder, !IsExistingFolder(folder.c_str()));
    if (!sheet)
        return "";
    PressWizard(sheet, PSBTN_FINISH);
    HWND complete = WaitForCompletionPage(sheet);
    EXPECT_TRUE(complete);
    HWND note = complete ? GetDlgItem(complete, kModernNoteId) : nullptr;
    std::string shown = note && IsWindowVisible(note) ? TextOf(note) : "";
    PressWizard(sheet, PSBTN_FINISH);
    EXPECT_EQ(0, setup.WaitForExit());
    return shown;
}

std::string CheckReport(const std::string& program, int& exitCode)
{
    CSetupProcess setup(program, "/c");
    FoundWindow dialog;
    EXPECT_TRUE(setup.WaitForDialog("Morvane Verification", dialog));
    std::string report = dialog.hwnd ? ItemText(dialog.hwnd, 1008) : "";
    if (dialog.hwnd)
        PressButton(dialog.hwnd, IDOK);
    exitCode = setup.WaitForExit();
    return report;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string content;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
        content.append(buffer, read);
    CloseHandle(file);
    return content;
}

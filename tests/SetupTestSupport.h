// What the installer's tests share: the installer's registry state, the platform's pending renames,
// and a driver that runs Setup.exe as a process and works its windows as a user would.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "TestSupport.h"

extern const char kHandlerClsid[];
extern const char kLoggerClsid[];
extern const char kUninstallKey[];

std::string BinFolder();
std::string BuiltSetupPath();
std::string Narrow(const std::wstring& text);

// Removes every key the module's registration and the installer write (the type library stays).
void RemoveAnyInstallation();
// Registers the module file at path through its own export.
bool RegisterModuleAt(const std::string& path);
bool ReadText(HKEY root, const std::string& key, const char* value, std::string& text);
bool FileExists(const std::string& path);
void CopyInto(const std::string& source, const std::string& target);

// A folder under the program-files folder whose name has blanks; removed with its content.
class CInstallFolder {
public:
    explicit CInstallFolder(const char* tag);
    ~CInstallFolder();
    const std::string& Path() const { return m_path; }
    std::string operator/(const char* name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// The platform's list of renames at the next restart, restored to what it was when the guard goes.
class CPendingRenames {
public:
    CPendingRenames();
    ~CPendingRenames();
    // The entries recorded since the guard was made, as pairs of source and target ("" = delete).
    std::vector<std::pair<std::wstring, std::wstring>> Added() const;

private:
    std::vector<BYTE> m_saved;
    bool m_existed;
};

// While it lives, the Session Manager key (where the NT family keeps the deletions at restart) may
// only be read, so that no deletion can be scheduled.
class CReadOnlySessionManager {
public:
    CReadOnlySessionManager();
    ~CReadOnlySessionManager();

private:
    std::vector<BYTE> m_saved;
};

// A message box or dialog found on the screen.
struct FoundWindow {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;  // a message box's text
};

std::string TextOf(HWND window);
void SetTextOf(HWND window, const std::string& text);
void PressButton(HWND dialog, int id);

// Setup.exe (or a copy) running as a process of its own, unelevated on request; terminated if still
// running at the end.
class CSetupProcess {
public:
    CSetupProcess(const std::string& program, const std::string& arguments, bool unelevated = false);
    ~CSetupProcess();
    bool Started() const { return m_process.IsValid(); }

    // A message box of the process (a dialog with a message text), within the timeout.
    bool WaitForMessageBox(FoundWindow& box, DWORD timeoutMs = 20000);
    // A top-level dialog of the process with the given caption.
    bool WaitForDialog(const char* caption, FoundWindow& dialog, DWORD timeoutMs = 20000);
    // The wizard sheet, and its current page once the page holds the control.
    HWND WaitForSheet(DWORD timeoutMs = 20000);
    HWND WaitForPage(HWND sheet, int controlId, DWORD timeoutMs = 20000);
    // The exit code, or -1 after the timeout (the process is then terminated).
    int WaitForExit(DWORD timeoutMs = 20000);

private:
    std::vector<HWND> TopLevelWindows() const;

    CKernelHandle m_process;
    DWORD m_id = 0;
};

// Answers the message box that the process shows next with the button, returning its texts.
FoundWindow AnswerMessageBox(CSetupProcess& setup, int button);

// The completion page's note on Windows 11's menu.
const int kModernNoteId = 1010;

std::string ItemText(HWND dialog, int id);
void PressWizard(HWND sheet, int button);
bool HasChildText(HWND page, const char* text);
// The completion page: current, and the finish button captioned "Close" with Cancel unavailable.
HWND WaitForCompletionPage(HWND sheet);
// Drives the wizard from the welcome page to the ready page with the folder typed in; the folder
// must exist already or "Create path?" is answered with Yes.
HWND WizardToReadyPage(CSetupProcess& setup, const std::string& folder, bool expectCreate);
// Runs the wizard through Finish and Close; the folder is created on the way when missing. Returns
// the completion page's note on Windows 11's menu, empty when it is hidden.
std::string InstallWithWizard(const std::string& program, const std::string& folder, bool unelevated = false);
// The report of "/c" in the verification dialog, closed again.
std::string CheckReport(const std::string& program, int& exitCode);
std::string ReadWholeFile(const std::string& path);

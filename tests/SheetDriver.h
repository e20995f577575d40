// Drives a modal property sheet the way a user would: the code that opens it runs on a worker
// thread, as on the shell's thread, while the test finds the sheet among that thread's windows and
// posts the clicks. Every wait has a timeout, and a sheet still open at the end is cancelled.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "DialogWatcher.h"
#include "InfoSheet.h"

class CSheetDriver {
public:
    // Runs show() on a worker thread with COM initialised (apartment-threaded) and waits up to 10 s
    // for the sheet it opens.
    explicit CSheetDriver(std::function<void()> show);
    ~CSheetDriver();
    CSheetDriver(const CSheetDriver&) = delete;
    CSheetDriver& operator=(const CSheetDriver&) = delete;

    bool Opened() const { return m_sheet != nullptr; }
    HWND Sheet() const { return m_sheet; }
    std::wstring Caption() const;
    std::vector<std::wstring> Tabs() const;
    int CurrentTab() const;
    // The current page's window.
    HWND Page() const;
    // Selects a tab as a click on it would (the current page may refuse to be left).
    void SelectTab(int index);

    // A control of the current page.
    HWND Item(int id) const;
    std::wstring Text(int id) const;
    // Sets a control's text as typing would: an edit then notifies its page of the change.
    void SetText(int id, const std::wstring& text);
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A control's notification to its page (CBN_SELCHANGE, CBN_SETFOCUS...), sent as the control
    // sends it: the page's reaction without the user's input that would cause it.
    void Notify(int id, WORD code);
    // A click on a button of the current page.
    void Click(int id);
    // One of the sheet's buttons: PSBTN_OK, PSBTN_APPLYNOW, PSBTN_CANCEL.
    void Press(int button);
    // Returns once the sheet's thread has handled everything posted to it before, the dialogs it
    // opened on the way included.
    void Sync();
    // True once show() has returned.
    bool WaitClosed(DWORD timeoutMs = 10000);

    // Dialogs that the worker thread opens over the sheet go to answer, which returns the id of the
    // button to press, or 0 when it dealt with the dialog itself. Without an answer OK is pressed.
    void OnDialog(std::function<int(HWND dialog, const SeenDialog& seen)> answer);
    std::vector<SeenDialog> Seen() const;

private:
    static DWORD WINAPI Worker(void* self);
    static LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam);
    void FindSheet(DWORD timeoutMs);
    bool SyncOnce(DWORD timeoutMs);
    LRESULT SendToSheet(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    std::function<void()> m_show;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    HANDLE m_started = nullptr;
    HANDLE m_marker = nullptr;
    HWND m_sheet = nullptr;
    std::vector<SeenDialog> m_seenDialogs;
    std::function<int(HWND, const SeenDialog&)> m_answer;
    mutable CRITICAL_SECTION m_lock;
};

// What a menu command does to open the file-information sheet on the handler's files at one page,
// for a driver to run; the handler must outlive the driver.
std::function<void()> InfoSheetAt(Parameters& handler, InfoPage page);

// Takes pictures of the property sheet that a command opens on this thread: while the command runs,
// a thread timer finds the sheet among the thread's windows, selects each tab in turn, saves the
// page as <base>-<tab>.png (base: the path given without ".png", tab: the tab's text in lower case)
// and finally cancels the sheet. A sheet that does not come up or stops answering is cancelled too.
#pragma once
#include "Array.h"
#include "Output.h"
#include "Str.h"

class CSheetCapture {
public:
    CSheetCapture(LPCWSTR path, COutput& out);
    ~CSheetCapture();
    CSheetCapture(const CSheetCapture&) = delete;
    CSheetCapture& operator=(const CSheetCapture&) = delete;

    // Starts watching; false when no timer could be set.
    bool Arm();
    // True when a sheet came up and every one of its pages was saved.
    bool Succeeded() const { return m_succeeded; }
    bool SawSheet() const { return m_sheet != nullptr; }

    // The file name of a page's picture: base-tab.png, the tab's text reduced to letters and digits.
    static CString PagePath(LPCWSTR path, LPCWSTR tab);

private:
    enum class Step { FindSheet, SelectPage, SavePage, Closing };

    static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Tick();
    void FindSheet();
    void SelectPage();
    void SavePage();
    void Finish(bool succeeded);
    void Close();
    void CloseThreadWindows();
    void Disarm();

    CString m_path;
    COutput& m_out;
    UINT_PTR m_timer = 0;
    Step m_step = Step::FindSheet;
    HWND m_sheet = nullptr;
    CArray<CString> m_tabs;
    int m_page = 0;
    int m_ticks = 0;
    int m_settle = 0;
    bool m_succeeded = false;
};

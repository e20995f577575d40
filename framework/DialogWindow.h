// What dialogs and property pages share: the window, the message dispatch and the data exchange
// between controls and members. Derived classes override the handlers they need.
#pragma once
#include <windows.h>
#include "DialogDataExchange.h"

class CDialogWindow {
public:
    CDialogWindow() = default;
    virtual ~CDialogWindow() = default;
    CDialogWindow(const CDialogWindow&) = delete;
    CDialogWindow& operator=(const CDialogWindow&) = delete;

    HWND GetHwnd() const { return m_hwnd; }
    HWND GetItem(int id) const { return ::GetDlgItem(m_hwnd, id); }
    CString GetItemText(int id) const { return WindowText(GetItem(id)); }
    static CString WindowText(HWND window);
    void SetItemText(int id, LPCTSTR text) const { ::SetDlgItemText(m_hwnd, id, text); }

    // Moves the members into the controls (save = false) or the controls into the members. False
    // when a control is missing or a value was refused (the user has then been told).
    bool UpdateData(bool save = true);

    // Where the dialog templates live: the module that owns the application object, else the program.
    static HINSTANCE ResourceInstance();

protected:
    virtual void DoDataExchange(CDataExchange&) {}
    // Tells the user why a value taken from the controls was refused; the control then gets the
    // focus. The base shows the application's message box.
    virtual void ReportInvalidInput(LPCTSTR reason);

    // The message dispatch. Returns true when the message was handled; result is then the answer
    // (for WM_INITDIALOG: whether the platform should set the default focus).
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual BOOL OnInitDialog();
    // A WM_COMMAND from a control or a menu: true when handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual bool OnNotify(NMHDR* header, LRESULT& result);

    // The dialog procedure's common part: binds the object on WM_INITDIALOG and passes every
    // message to OnMessage with the platform's rules for returning a result.
    static INT_PTR Dispatch(CDialogWindow* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static CDialogWindow* FromHandle(HWND hwnd);

    HWND m_hwnd = nullptr;
};

// An existing control window whose messages an object sees before the control's own procedure
// (subclassing through SetWindowSubclass). The subclass is removed when the object goes or the
// window is destroyed, whichever comes first. The parent dialog reflects the notifications a
// control sends about itself (WM_COMMAND, WM_CTLCOLOR*) back to its object, so a control class can
// handle its own drawing and clicks.
#pragma once
#include <windows.h>

class CSubclassedWindow {
public:
    CSubclassedWindow() = default;
    virtual ~CSubclassedWindow() { UnsubclassWindow(); }
    CSubclassedWindow(const CSubclassedWindow&) = delete;
    CSubclassedWindow& operator=(const CSubclassedWindow&) = delete;

    // False when the object already wraps a window, the window is missing or already wrapped.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(HWND dialog, int id) { return SubclassWindow(::GetDlgItem(dialog, id)); }
    void UnsubclassWindow();

    HWND GetHwnd() const { return m_hwnd; }
    // The object that wraps a window, or null.
    static CSubclassedWindow* FromHandle(HWND hwnd);

    // Offers a parent's message about one of its controls to the control's object: true when the
    // object handled it, result then being the parent's answer.
    static bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // The control's own messages: true when handled, result then being the answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Its parent's WM_COMMAND or WM_CTLCOLOR* about it, with the parent's arguments.
    virtual bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);

    HWND m_hwnd = nullptr;
};

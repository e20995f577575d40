// A static text drawn as a hyperlink (underlined, blue, purple once opened) that opens its target
// through the shell when clicked.
#pragma once
#include "Holders.h"
#include "StaticControl.h"

class CStaticLink : public CStatic {
public:
    CStaticLink();

    // Wraps the dialog's static control; an empty target opens the control's own caption.
    bool Attach(HWND dialog, int id, LPCWSTR target);
    bool IsVisited() const { return m_visited; }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    HBRUSH OnCtlColor(HDC dc);
    void OnSetCursor(UINT hitTest);
    void Open();

    CString m_target;
    bool m_visited = false;
    COLORREF m_unvisitedColor = RGB(0, 0, 255);
    COLORREF m_visitedColor = RGB(128, 0, 128);
    CGdiObject m_underlineFont;
    HCURSOR m_cursor;
};

// What a click runs to open a target: ShellExecuteW, unless a test puts its own in to see what was
// opened and to answer success or failure. Null restores ShellExecuteW. Returns the one it replaces.
using LinkOpener = HINSTANCE(WINAPI*)(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                      LPCWSTR directory, INT show);
LinkOpener SetLinkOpener(LinkOpener opener);

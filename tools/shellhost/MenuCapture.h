// Takes a picture of a context menu as the user sees it: the menu pops up with TrackPopupMenuEx,
// keys posted from a thread timer open the first submenu of each level (up to kDepth levels down),
// the open menus are copied from the screen into one PNG, transparent around them, and the menu
// closes without a command chosen.
#pragma once
#include "Output.h"
#include "Str.h"

class CMenuCapture {
public:
    static const int kDepth = 2;

    CMenuCapture(LPCWSTR path, COutput& out);
    ~CMenuCapture();
    CMenuCapture(const CMenuCapture&) = delete;
    CMenuCapture& operator=(const CMenuCapture&) = delete;

    // Shows the menu at a screen point, owned by owner; true when the picture was saved.
    bool Take(HMENU menu, HWND owner, POINT at);

private:
    static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Tick();
    void OpenSubmenus();
    void Save();
    void PostKey(UINT key, int times) const;

    CString m_path;
    COutput& m_out;
    HMENU m_menu = nullptr;
    HWND m_owner = nullptr;
    UINT_PTR m_timer = 0;
    int m_ticks = 0;
    int m_openedAt = 0;  // the tick on which the keys were posted
    bool m_saved = false;
};

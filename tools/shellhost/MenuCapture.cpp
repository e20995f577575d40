#include "MenuCapture.h"
#include "Picture.h"
#include "ThreadWindows.h"

namespace {

const UINT kTickMs = 100;
const int kOpenTick = 3;      // the menu is up and painted
const int kSettleTicks = 5;   // the submenus opened by the keys are up and painted
const int kTimeoutTicks = 50;

CMenuCapture* g_active = nullptr;

bool IsMenuWindow(HWND window)
{
    wchar_t name[16] = {};
    return ::IsWindowVisible(window) && ::GetClassNameW(window, name, ARRAYSIZE(name)) && !lstrcmpW(name, L"#32768");
}

// The position of the first item with a submenu among the items the arrow keys stop on (all but
// separators), or -1.
int FirstSubmenu(HMENU menu, HMENU& submenu)
{
    int stop = 0;
    for (int i = 0, count = ::GetMenuItemCount(menu); i < count; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        if (!::GetMenuItemInfoW(menu, UINT(i), TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        if (info.hSubMenu) {
            submenu = info.hSubMenu;
            return stop;
        }
        ++stop;
    }
    return -1;
}

}

CMenuCapture::CMenuCapture(LPCWSTR path, COutput& out) : m_path(path), m_out(out)
{
}

CMenuCapture::~CMenuCapture()
{
    if (m_timer)
        ::KillTimer(nullptr, m_timer);
    if (g_active == this)
        g_active = nullptr;
}

bool CMenuCapture::Take(HMENU menu, HWND owner, POINT at)
{
    if (g_active || !menu || !owner)
        return false;
    m_menu = menu;
    m_owner = owner;
    m_timer = ::SetTimer(nullptr, 0, kTickMs, &CMenuCapture::OnTimer);
    if (!m_timer)
        return false;
    g_active = this;
    ::TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, owner, nullptr);
    ::KillTimer(nullptr, m_timer);
    m_timer = 0;
    g_active = nullptr;
    if (!m_openedAt)
        m_out.Line(0, L"menu screenshot: the menu did not come up");
    return m_saved;
}

void CALLBACK CMenuCapture::OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_active && g_active->m_timer == id)
        g_active->Tick();
}

void CMenuCapture::Tick()
{
    ++m_ticks;
    if (m_ticks >= kOpenTick && !m_openedAt) {
        OpenSubmenus();
    } else if (m_openedAt && m_ticks == m_openedAt + kSettleTicks) {
        Save();
        ::EndMenu();
    }
    if (m_ticks > kTimeoutTicks)
        ::EndMenu();
}

void CMenuCapture::PostKey(UINT key, int times) const
{
    for (int i = 0; i < times; ++i) {
        ::PostMessageW(m_owner, WM_KEYDOWN, key, 1);
        ::PostMessageW(m_owner, WM_KEYUP, key, 0xC0000001);
    }
}

void CMenuCapture::OpenSubmenus()
{
    CThreadWindows windows;
    bool shown = false;
    for (int i = 0; i < windows.Count(); ++i)
        shown = shown || IsMenuWindow(windows[i]);
    if (!shown)
        return;
    m_openedAt = m_ticks;
    // Nothing is selected yet: the first Down selects the first item; a submenu opened with Right
    // starts on its first item.
    HMENU level = m_menu;
    for (int depth = 0; depth < kDepth; ++depth) {
        HMENU submenu = nullptr;
        int position = FirstSubmenu(level, submenu);
        if (position < 0)
            break;
        PostKey(VK_DOWN, depth == 0 ? position + 1 : position);
        PostKey(VK_RIGHT, 1);
        level = submenu;
    }
}

void CMenuCapture::Save()
{
    CThreadWindows windows;
    RECT menus[8];
    int count = 0;
    RECT all = {};
    for (int i = 0; i < windows.Count() && count < int(ARRAYSIZE(menus)); ++i)
        if (IsMenuWindow(windows[i]) && ::GetWindowRect(windows[i], &menus[count])) {
            ::UnionRect(&all, &all, &menus[count]);
            ++count;
        }
    CPicture picture;
    bool taken = count > 0 && picture.Create(all.right - all.left, all.bottom - all.top);
    for (int i = 0; taken && i < count; ++i)
        taken = picture.CopyScreen(menus[i], menus[i].left - all.left, menus[i].top - all.top);
    HRESULT hr = taken ? picture.SavePng(m_path) : E_FAIL;
    if (FAILED(hr)) {
        m_out.Line(0, L"menu screenshot %s failed 0x%08lX", m_path.GetString(), hr);
        return;
    }
    m_saved = true;
    m_out.Line(0, L"menu screenshot %s: %d menus", m_path.GetString(), count);
}

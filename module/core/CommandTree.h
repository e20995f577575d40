// What every command of one Windows 11 menu shares: the selection it was shown for, the classic
// handler that describes and runs the menu, the description built once from them, the site and
// the one lock. The root command creates it; each command and enumerator holds a reference.
#pragma once
#include "Holders.h"
#include "MenuDescription.h"
#include "Str.h"
#include <shobjidl.h>

class CMenuHandler;

class CCommandTree {
public:
    // A new tree with one reference; null when out of memory or without a handler.
    static CCommandTree* Create();
    void AddRef() { ::InterlockedIncrement(&m_refs); }
    void Release();
    CCriticalSection& Lock() { return m_cs; }

    // Keeps the first selection given; later ones are the same menu's and are ignored.
    void RememberSelection(IShellItemArray* items);
    // How many items the remembered selection holds, without reading them; 0 without one.
    DWORD SelectionCount() const;
    bool IsBuilt() const { return m_built; }
    // Builds the flyout's description from the remembered selection the first time one is known.
    void Build();
    const CMenuDescription& Menu() const { return m_menu; }
    // The entry the root stands for: the top entry once built, else -1 (the root is then hidden).
    int Root() const { return m_menu.Top(); }

    void SetSite(IUnknown* site) { m_site = site; }
    HRESULT GetSite(REFIID riid, void** ppv);
    // Under "Show more options" Explorer lists the package's verb beside the classic handler; its
    // site there hands out a window, which the first-level menu's does not. The navigation pane's
    // tree hands out its window too, and shows no classic handler.
    bool SiteIsClassicMenu() const;
    // Runs the command at the offset without holding the lock: what it shows may stay open long.
    // In the COM surrogate it runs in a process Explorer starts; here its windows are owned by the
    // site's window, else by the window the user clicked in.
    void Run(UINT offset);

private:
    CCommandTree() = default;
    ~CCommandTree();
    CCommandTree(const CCommandTree&) = delete;
    CCommandTree& operator=(const CCommandTree&) = delete;

    volatile LONG m_refs = 1;
    CCriticalSection m_cs;
    CComPtr<IShellItemArray> m_items;
    CComPtr<IContextMenu> m_handler;
    CComPtr<IUnknown> m_site;
    CMenuDescription m_menu;
    bool m_built = false;
};

// A menu text as a command title: access-key marks removed ("&&" stays one "&") and the tab
// between label and value shown as one blank.
CString CommandTitle(LPCWSTR menuText);
// A data object with the dropped-file list of the selection's file-system items; null when it
// has none. The selection's own data object, read in one call, where it offers that list.
CComPtr<IDataObject> SelectionDataObject(IShellItemArray* items);

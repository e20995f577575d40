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
    // Whether the remembered selection is known to be empty without reading it further.
    bool SelectionIsEmpty() const;
    bool IsBuilt() const { return m_built; }
    // Builds the description from the remembered selection the first time one is known.
    void Build();
    const CMenuDescription& Menu() const { return m_menu; }
    // The entry the root stands for: the top entry once built, else -1 (the root is then hidden).
    int Root() const { return m_menu.Top(); }

    void SetSite(IUnknown* site) { m_site = site; }
    HRESULT GetSite(REFIID riid, void** ppv);
    // Runs the entry's command, owned by the site's window when the site gives one.
    void Run(int entry);

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
// has none.
CComPtr<IDataObject> SelectionDataObject(IShellItemArray* items);

// One registered handler played through as Explorer does: created in process, initialised with the
// selection, asked for its menu on a fresh popup; later asked to run a command of it.
#pragma once
#include "HandlerList.h"
#include "HostOptions.h"
#include "Output.h"
#include "Selection.h"
#include <shlobj.h>

class CHandlerRun {
public:
    CHandlerRun() = default;
    CHandlerRun(CHandlerRun&& other) = default;
    CHandlerRun& operator=(CHandlerRun&& other) = default;
    ~CHandlerRun();

    // Prints the handler's line, its answer and the menu it built; false when a call failed.
    bool Run(const HandlerEntry& entry, const CSelection& selection, const CHostOptions& options, COutput& out);
    bool HasOffset(UINT offset) const;
    // InvokeCommand with the offset as verb; prints the result; false when it failed.
    bool Invoke(UINT offset, HWND owner, const CSelection& selection, COutput& out);

    const HandlerEntry& Entry() const { return m_entry; }
    // The menu the handler filled; null when it built none.
    HMENU Menu() const { return m_built ? m_menu.Get() : nullptr; }

private:
    HRESULT Create(COutput& out);
    HRESULT Initialize(const CSelection& selection, COutput& out);

    HandlerEntry m_entry;
    CComPtr<IContextMenu> m_menuHandler;
    CMenuHandle m_menu;
    UINT m_firstId = 0;
    bool m_built = false;
};

// The shell's context-menu handler for files, shortcuts and Internet shortcuts.
#pragma once
#include "ComObject.h"
#include <shlobj.h>

class CTraceSink;

class CMenuHandler : public CComObjectRoot, public IShellExtInit, public IContextMenu {
public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv)
    {
        static const QITAB table[] = {
            QITABENT(CMenuHandler, IShellExtInit),
            QITABENT(CMenuHandler, IContextMenu),
            { nullptr, 0 },
        };
        return QISearch(this, table, riid, ppv);
    }

    HRESULT FinalConstruct() override;
    void FinalRelease() override;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* dataObject, HKEY progId) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR idCmd, UINT type, UINT* reserved, CHAR* name, UINT cchMax) override;

private:
    CTraceSink* m_trace = nullptr;
    CComPtr<IDataObject> m_dataObject;
};

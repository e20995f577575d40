// The commands of one popup of the Windows 11 menu, in the classic menu's order.
#pragma once
#include "ComObject.h"
#include "CommandTree.h"
#include <shobjidl.h>

class CExplorerCommandEnum : public CComObjectRoot, public IEnumExplorerCommand {
public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv)
    {
        static const QITAB table[] = {
            QI_ENTRY(CExplorerCommandEnum, IEnumExplorerCommand),
            { nullptr, 0 },
        };
        return QISearch(this, table, riid, ppv);
    }

    // An enumerator of the popup's entries, starting at position; the caller holds the tree's lock.
    static HRESULT Create(CCommandTree* tree, int popup, int position, IEnumExplorerCommand** result);
    ~CExplorerCommandEnum() override;

    // IEnumExplorerCommand
    STDMETHODIMP Next(ULONG count, IExplorerCommand** commands, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumExplorerCommand** copy) override;

private:
    CCommandTree* m_tree = nullptr;
    int m_popup = -1;
    int m_position = 0;
    int m_count = 0;  // the popup's entries, fixed since the description is
};

// The Windows 11 first-level menu's command: the classic menu's top item for the same selection,
// and each of its items below it. Titles, states and actions come from the one description that
// the classic menu is drawn from, and the classic handler runs the commands.
#pragma once
#include "ComObject.h"
#include "CommandTree.h"
#include <shobjidl.h>

class CExplorerCommand : public CComObjectRoot, public IExplorerCommand, public IObjectWithSite {
public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv)
    {
        static const QITAB table[] = {
            QI_ENTRY(CExplorerCommand, IExplorerCommand),
            QI_ENTRY(CExplorerCommand, IObjectWithSite),
            { nullptr, 0 },
        };
        return QISearch(this, table, riid, ppv);
    }

    // Invoke's answers for entries that are no command to run.
    static constexpr HRESULT kNotACommand = HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);  // popup, separator
    static constexpr HRESULT kUnavailable = HRESULT(0x8000000EL);  // E_ILLEGAL_METHOD_CALL: disabled, hidden

    ~CExplorerCommand() override;
    HRESULT FinalConstruct() override;
    // The command of an entry of the tree's description.
    static HRESULT CreateEntry(CCommandTree* tree, int entry, IExplorerCommand** command);

    // IExplorerCommand
    STDMETHODIMP GetTitle(IShellItemArray* items, LPWSTR* name) override;
    STDMETHODIMP GetIcon(IShellItemArray* items, LPWSTR* icon) override;
    STDMETHODIMP GetToolTip(IShellItemArray* items, LPWSTR* tip) override;
    STDMETHODIMP GetCanonicalName(GUID* name) override;
    STDMETHODIMP GetState(IShellItemArray* items, BOOL okToBeSlow, EXPCMDSTATE* state) override;
    STDMETHODIMP Invoke(IShellItemArray* items, IBindCtx* bindContext) override;
    STDMETHODIMP GetFlags(EXPCMDFLAGS* flags) override;
    STDMETHODIMP EnumSubCommands(IEnumExplorerCommand** commands) override;

    // IObjectWithSite: one site for the whole tree.
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID riid, void** ppv) override;

private:
    static const int kRoot = -1;

    // The entry this command stands for, building the description first for the root; -1 when
    // the root is hidden.
    int Entry(IShellItemArray* items);
    const CMenuEntry* Described(IShellItemArray* items);

    CCommandTree* m_tree = nullptr;
    int m_entry = kRoot;
};

// The fixed canonical name of an entry: the class identifier for the root, else one derived from
// what the entry is (a command's offset, a separator's position).
GUID CanonicalName(const CMenuDescription& menu, int entry);

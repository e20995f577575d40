#include "ExplorerCommand.h"
#include "AboutPageRes.h"
#include "CommandIds.h"
#include "ExplorerCommandEnum.h"
#include "Guids.h"
#include "MorvaneApp.h"

namespace {

HRESULT Duplicate(LPCWSTR text, LPWSTR* copy)
{
    return ::SHStrDupW(text, copy);
}

int PositionUnderParent(const CMenuDescription& menu, int entry)
{
    int position = 0;
    for (int i = 0; i < entry; ++i)
        if (menu.Entry(i).parent == menu.Entry(entry).parent)
            ++position;
    return position;
}

}

GUID CanonicalName(const CMenuDescription& menu, int entry)
{
    GUID name = CLSID_MorvaneExplorerCommand;
    if (entry < 0 || entry >= menu.GetSize() || entry == menu.Top())
        return name;
    const CMenuEntry& described = menu.Entry(entry);
    DWORD key = 0;
    switch (described.kind) {
    case CMenuEntry::Kind::Command: key = DWORD(described.offset); break;
    case CMenuEntry::Kind::Popup: key = 0x100; break;  // the flyout holds none below the root
    case CMenuEntry::Kind::Separator: key = 0x200 + DWORD(PositionUnderParent(menu, entry) & 0xFF); break;
    }
    name.Data1 = 0x5A1E1000 + key;
    return name;
}

HRESULT CExplorerCommand::FinalConstruct()
{
    if (!m_tree)
        m_tree = CCommandTree::Create();
    return m_tree ? S_OK : E_OUTOFMEMORY;
}

CExplorerCommand::~CExplorerCommand()
{
    if (m_tree)
        m_tree->Release();
}

HRESULT CExplorerCommand::CreateEntry(CCommandTree* tree, int entry, IExplorerCommand** command)
{
    *command = nullptr;
    auto* object = new (std::nothrow) CComObject<CExplorerCommand>();
    if (!object)
        return E_OUTOFMEMORY;
    tree->AddRef();
    object->m_tree = tree;
    object->m_entry = entry;
    return FinishCreation(object, IID_IExplorerCommand, reinterpret_cast<void**>(command));
}

int CExplorerCommand::Entry(IShellItemArray* items)
{
    if (m_entry != kRoot)
        return m_entry;
    m_tree->RememberSelection(items);
    m_tree->Build();
    return m_tree->Root();
}

const CMenuEntry* CExplorerCommand::Described(IShellItemArray* items)
{
    int entry = Entry(items);
    return entry < 0 ? nullptr : &m_tree->Menu().Entry(entry);
}

STDMETHODIMP CExplorerCommand::GetTitle(IShellItemArray* items, LPWSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    CCriticalSectionLock lock(m_tree->Lock());
    const CMenuEntry* entry = Described(items);
    if (!entry || entry->kind == CMenuEntry::Kind::Separator)
        return S_FALSE;
    return Duplicate(CommandTitle(entry->text), name);
}

STDMETHODIMP CExplorerCommand::GetIcon(IShellItemArray*, LPWSTR* icon)
{
    if (!icon)
        return E_POINTER;
    *icon = nullptr;
    if (m_entry != kRoot)
        return E_NOTIMPL;
    CString location = GetModulePath(ModuleInstance());
    if (location.IsEmpty())
        return E_FAIL;
    WCHAR resource[16];
    ::wnsprintfW(resource, ARRAYSIZE(resource), L",-%d", IDI_ABOUT_PRODUCT);
    location += resource;
    return Duplicate(location, icon);
}

STDMETHODIMP CExplorerCommand::GetToolTip(IShellItemArray* items, LPWSTR* tip)
{
    if (!tip)
        return E_POINTER;
    *tip = nullptr;
    CCriticalSectionLock lock(m_tree->Lock());
    const CMenuEntry* entry = Described(items);
    if (!entry || entry->kind != CMenuEntry::Kind::Command)
        return E_NOTIMPL;
    return Duplicate(HelpText(entry->offset), tip);
}

STDMETHODIMP CExplorerCommand::GetCanonicalName(GUID* name)
{
    if (!name)
        return E_POINTER;
    CCriticalSectionLock lock(m_tree->Lock());
    *name = CanonicalName(m_tree->Menu(), m_entry);
    return S_OK;
}

// Before the description exists the fast call answers only what needs no disk or registry: an
// empty selection is hidden; anything else waits for the slow call, which builds it.
STDMETHODIMP CExplorerCommand::GetState(IShellItemArray* items, BOOL okToBeSlow, EXPCMDSTATE* state)
{
    if (!state)
        return E_POINTER;
    *state = ECS_HIDDEN;
    CCriticalSectionLock lock(m_tree->Lock());
    if (m_entry == kRoot && m_tree->SiteIsClassicMenu())
        return S_OK;  // the classic handler shows the same menu there
    if (m_entry == kRoot && !m_tree->IsBuilt()) {
        m_tree->RememberSelection(items);
        if (m_tree->SelectionCount() == 0)
            return S_OK;
        if (!okToBeSlow)
            return E_PENDING;
    }
    const CMenuEntry* entry = Described(items);
    if (!entry)
        return S_OK;
    *state = entry->disabled ? ECS_DISABLED : ECS_ENABLED;
    if (entry->checked)
        *state |= ECS_CHECKBOX | ECS_CHECKED;
    return S_OK;
}

STDMETHODIMP CExplorerCommand::Invoke(IShellItemArray* items, IBindCtx*)
{
    UINT offset = 0;
    {
        CCriticalSectionLock lock(m_tree->Lock());
        int entry = Entry(items);
        if (entry < 0)
            return kUnavailable;
        const CMenuEntry& described = m_tree->Menu().Entry(entry);
        if (described.kind != CMenuEntry::Kind::Command)
            return kNotACommand;
        if (described.disabled)
            return kUnavailable;
        offset = UINT(described.offset);
    }
    m_tree->Run(offset);
    return S_OK;
}

STDMETHODIMP CExplorerCommand::GetFlags(EXPCMDFLAGS* flags)
{
    if (!flags)
        return E_POINTER;
    *flags = ECF_DEFAULT;
    CCriticalSectionLock lock(m_tree->Lock());
    // Explorer asks the root's flags before its state, while the selection is still unread: one
    // file, the usual case, has the flyout. Nothing is read from disk here.
    if (m_entry == kRoot && !m_tree->IsBuilt()) {
        if (m_tree->SelectionCount() <= 1)
            *flags = ECF_HASSUBCOMMANDS;
        return S_OK;
    }
    const CMenuEntry* entry = Described(nullptr);
    if (entry && entry->kind == CMenuEntry::Kind::Popup)
        *flags = ECF_HASSUBCOMMANDS;
    else if (entry && entry->kind == CMenuEntry::Kind::Separator)
        *flags = ECF_ISSEPARATOR;
    return S_OK;
}

STDMETHODIMP CExplorerCommand::EnumSubCommands(IEnumExplorerCommand** commands)
{
    if (!commands)
        return E_POINTER;
    *commands = nullptr;
    CCriticalSectionLock lock(m_tree->Lock());
    int entry = Entry(nullptr);
    if (entry < 0 || m_tree->Menu().Entry(entry).kind != CMenuEntry::Kind::Popup)
        return E_NOTIMPL;
    return CExplorerCommandEnum::Create(m_tree, entry, 0, commands);
}

STDMETHODIMP CExplorerCommand::SetSite(IUnknown* site)
{
    CCriticalSectionLock lock(m_tree->Lock());
    m_tree->SetSite(site);
    return S_OK;
}

STDMETHODIMP CExplorerCommand::GetSite(REFIID riid, void** ppv)
{
    CCriticalSectionLock lock(m_tree->Lock());
    return m_tree->GetSite(riid, ppv);
}

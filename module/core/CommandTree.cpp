#include "CommandTree.h"
#include "ComObject.h"
#include "DropFilesData.h"
#include "Flyout.h"
#include "MenuHandler.h"
#include "SurrogateRoute.h"
#include <shlobj.h>

namespace {

// Items beyond this many are not worth a menu: Explorer's own limit for verbs is far lower.
const DWORD kMaxSelection = 65536;

}

CString CommandTitle(LPCWSTR menuText)
{
    CString title;
    for (LPCWSTR at = menuText; *at; ++at) {
        if (*at == L'&') {
            if (at[1] != L'&')
                continue;
            ++at;
        }
        title += *at == L'\t' ? L' ' : *at;
    }
    return title;
}

// Each item read on its own costs Explorer two calls across processes; the array's data object
// gives them all at once.
CComPtr<IDataObject> SelectionDataObject(IShellItemArray* items)
{
    CComPtr<IDataObject> data;
    DWORD count = 0;
    if (!items || FAILED(items->GetCount(&count)) || count == 0 || count > kMaxSelection)
        return data;
    FORMATETC dropped = { CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    if (SUCCEEDED(items->BindToHandler(nullptr, BHID_DataObject, IID_IDataObject, data.ReceiveVoid())) && data
        && data->QueryGetData(&dropped) == S_OK)
        return data;
    data.Release();
    // Only items with a file-system path count, as only they are in the shell's CF_HDROP.
    CArray<CString> paths;
    for (DWORD i = 0; i < count; ++i) {
        CComPtr<IShellItem> item;
        LPWSTR path = nullptr;
        if (FAILED(items->GetItemAt(i, &item)) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
            continue;
        CCoTaskMem owned(path);
        if (path[0] && !paths.Add(CString(path)))
            return data;
    }
    if (!paths.IsEmpty())
        CDropFilesData::Create(paths, &data);
    return data;
}

CCommandTree* CCommandTree::Create()
{
    auto* tree = new (std::nothrow) CCommandTree();
    if (!tree)
        return nullptr;
    if (FAILED(tree->m_cs.Init())
        || FAILED((CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, tree->m_handler.ReceiveVoid())))) {
        delete tree;
        return nullptr;
    }
    return tree;
}

CCommandTree::~CCommandTree() = default;

void CCommandTree::Release()
{
    if (::InterlockedDecrement(&m_refs) == 0)
        delete this;
}

void CCommandTree::RememberSelection(IShellItemArray* items)
{
    if (!m_items && items)
        m_items = items;
}

DWORD CCommandTree::SelectionCount() const
{
    DWORD count = 0;
    return m_items && SUCCEEDED(m_items->GetCount(&count)) ? count : 0;
}

void CCommandTree::Build()
{
    if (m_built || !m_items)
        return;  // without a selection there is nothing to build yet
    m_built = true;
    CComPtr<IDataObject> data = SelectionDataObject(m_items);
    if (!data)
        return;
    auto* handler = static_cast<CMenuHandler*>(m_handler.Get());
    CMenuDescription classic;
    if (SUCCEEDED(handler->Initialize(nullptr, data, nullptr)) && handler->Describe(classic))
        DescribeFlyout(classic, m_menu);
}

HRESULT CCommandTree::GetSite(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return m_site ? m_site->QueryInterface(riid, ppv) : E_FAIL;
}

bool CCommandTree::SiteIsClassicMenu() const
{
    HWND window = nullptr;
    WCHAR className[64] = L"";
    if (!m_site || FAILED(::IUnknown_GetWindow(m_site, &window)))
        return false;  // the first-level menu's site has no window
    if (window)
        ::GetClassNameW(window, className, ARRAYSIZE(className));
    return ::lstrcmpW(className, L"NamespaceTreeControl") != 0;
}

void CCommandTree::Run(UINT offset)
{
    CComPtr<IUnknown> site;
    {
        CCriticalSectionLock lock(m_cs);
        site = m_site;
    }
    auto* handler = static_cast<CMenuHandler*>(m_handler.Get());
    if (HostIsSurrogate()) {
        CArray<CString> paths;
        if (handler->GetSelectedPaths(paths) && RunInRunner(offset, paths))
            return;
    }
    HWND owner = nullptr;
    if (!site || FAILED(::IUnknown_GetWindow(site, &owner)) || !owner)
        owner = ::GetForegroundWindow();
    handler->RunCommand(offset, owner);
}

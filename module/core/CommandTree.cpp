#include "CommandTree.h"
#include "ComObject.h"
#include "MenuHandler.h"
#include <shlobj.h>

namespace {

// Items beyond this many are not worth a menu: Explorer's own limit for verbs is far lower.
const DWORD kMaxSelection = 65536;

// The selection's items as child identifiers of their one folder, for folders whose item arrays
// cannot give a data object themselves.
CComPtr<IDataObject> FolderDataObject(IShellItemArray* items, DWORD count)
{
    CComPtr<IDataObject> data;
    CArray<PIDLIST_ABSOLUTE> absolute;
    if (!absolute.SetSize(int(count)))
        return data;
    bool complete = true;
    for (DWORD i = 0; i < count && complete; ++i) {
        absolute[int(i)] = nullptr;
        CComPtr<IShellItem> item;
        complete = SUCCEEDED(items->GetItemAt(i, &item)) && SUCCEEDED(::SHGetIDListFromObject(item, &absolute[int(i)]));
    }
    CComPtr<IShellFolder> folder;
    PCUITEMID_CHILD first = nullptr;
    CArray<PCUITEMID_CHILD> children;
    if (complete && children.SetSize(int(count))
        && SUCCEEDED(::SHBindToParent(absolute[0], IID_IShellFolder, folder.ReceiveVoid(), &first))) {
        for (DWORD i = 0; i < count && complete; ++i) {
            children[int(i)] = ::ILFindLastID(absolute[int(i)]);
            // Every item must lie in the first item's folder.
            PIDLIST_ABSOLUTE parent = ::ILClone(absolute[int(i)]);
            complete = parent && ::ILRemoveLastID(parent) && ::ILIsParent(parent, absolute[0], TRUE);
            ::ILFree(parent);
        }
        if (complete)
            folder->GetUIObjectOf(nullptr, UINT(count), children.begin(), IID_IDataObject, nullptr, data.ReceiveVoid());
    }
    for (PIDLIST_ABSOLUTE idList : absolute)
        ::ILFree(idList);
    return data;
}

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

CComPtr<IDataObject> SelectionDataObject(IShellItemArray* items)
{
    CComPtr<IDataObject> data;
    DWORD count = 0;
    if (!items || FAILED(items->GetCount(&count)) || count == 0 || count > kMaxSelection)
        return data;
    if (SUCCEEDED(items->BindToHandler(nullptr, BHID_DataObject, IID_IDataObject, data.ReceiveVoid())) && data)
        return data;
    data.Release();
    return FolderDataObject(items, count);
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

bool CCommandTree::SelectionIsEmpty() const
{
    DWORD count = 0;
    return !m_items || FAILED(m_items->GetCount(&count)) || count == 0;
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
    if (SUCCEEDED(handler->Initialize(nullptr, data, nullptr)))
        handler->Describe(m_menu);
}

HRESULT CCommandTree::GetSite(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return m_site ? m_site->QueryInterface(riid, ppv) : E_FAIL;
}

void CCommandTree::Run(int entry)
{
    HWND owner = nullptr;
    if (m_site && FAILED(::IUnknown_GetWindow(m_site, &owner)))
        owner = nullptr;
    static_cast<CMenuHandler*>(m_handler.Get())->RunCommand(UINT(m_menu.Entry(entry).offset), owner);
}

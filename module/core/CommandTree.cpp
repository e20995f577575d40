#include "CommandTree.h"
#include "ComObject.h"
#include "DropFilesData.h"
#include "MenuHandler.h"
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

// Only items with a file-system path count, as only they are in the shell's CF_HDROP.
CComPtr<IDataObject> SelectionDataObject(IShellItemArray* items)
{
    CComPtr<IDataObject> data;
    DWORD count = 0;
    if (!items || FAILED(items->GetCount(&count)) || count == 0 || count > kMaxSelection)
        return data;
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

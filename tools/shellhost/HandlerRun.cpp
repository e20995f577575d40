#include "HandlerRun.h"
#include "MenuPrinter.h"

namespace {

const UINT kLastId = 0x7FFF;  // the top of the range Explorer grants its handlers

}

CHandlerRun::~CHandlerRun()
{
    // The handler goes before the menu it filled, as in Explorer.
    m_menuHandler.Release();
    m_menu.Close();
}

HRESULT CHandlerRun::Create(COutput& out)
{
    if (!m_entry.valid) {
        out.Line(1, L"not a class identifier");
        return REGDB_E_CLASSNOTREG;
    }
    HRESULT hr = ::CoCreateInstance(m_entry.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                                    m_menuHandler.ReceiveVoid());
    if (FAILED(hr))
        out.Line(1, L"CoCreateInstance failed 0x%08lX", hr);
    return hr;
}

HRESULT CHandlerRun::Initialize(const CSelection& selection, COutput& out)
{
    CComPtr<IShellExtInit> init;
    if (FAILED(m_menuHandler.QueryInterface(IID_IShellExtInit, init)))
        return S_OK;  // a handler without IShellExtInit is asked for its menu all the same
    CRegKeyHandle classKey;
    ::RegOpenKeyExW(HKEY_CLASSES_ROOT, m_entry.classKey, 0, KEY_READ, &classKey);
    HRESULT hr = init->Initialize(selection.FolderIdList(), selection.DataObject(), classKey);
    if (FAILED(hr))
        out.Line(1, L"Initialize failed 0x%08lX", hr);
    return hr;
}

bool CHandlerRun::Run(const HandlerEntry& entry, const CSelection& selection, const CHostOptions& options, COutput& out)
{
    m_entry = entry;
    m_firstId = options.m_firstId;
    out.Line(0, L"handler %s\\%s %s", entry.classKey.GetString(), entry.name.GetString(), entry.clsidText.GetString());
    if (FAILED(Create(out)) || FAILED(Initialize(selection, out)))
        return false;

    m_menu.Attach(::CreatePopupMenu());
    if (!m_menu.IsValid()) {
        out.Line(1, L"CreatePopupMenu failed: error %lu", ::GetLastError());
        return false;
    }
    HRESULT hr = m_menuHandler->QueryContextMenu(m_menu, 0, m_firstId, kLastId, options.m_flags);
    if (FAILED(hr)) {
        out.Line(1, L"QueryContextMenu(flags 0x%X) failed 0x%08lX", options.m_flags, hr);
        // What a failing handler left in the menu is shown all the same.
        if (::GetMenuItemCount(m_menu) > 0)
            CMenuPrinter(out, m_firstId, 0, nullptr).Print(m_menu, 1);
        return false;
    }
    m_built = true;
    UINT claimed = HRESULT_CODE(hr);
    out.Line(1, L"QueryContextMenu(flags 0x%X): %u identifiers", options.m_flags, claimed);
    CMenuPrinter(out, m_firstId, claimed, options.m_helpTexts ? m_menuHandler.Get() : nullptr).Print(m_menu, 1);
    return true;
}

bool CHandlerRun::HasOffset(UINT offset) const
{
    return m_built && CMenuPrinter::HasOffset(m_menu, m_firstId, offset);
}

bool CHandlerRun::Invoke(UINT offset, HWND owner, const CSelection& selection, COutput& out)
{
    if (!m_menuHandler) {
        out.Line(0, L"invoke %u: handler %s\\%s was not created", offset, m_entry.classKey.GetString(),
                 m_entry.name.GetString());
        return false;
    }
    CMINVOKECOMMANDINFOEX info = {};
    info.cbSize = sizeof(info);
    info.fMask = CMIC_MASK_UNICODE;
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.lpVerbW = MAKEINTRESOURCEW(offset);
    info.lpDirectoryW = selection.Folder();
    info.nShow = SW_SHOWNORMAL;
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, selection.Folder(), -1, nullptr, 0, nullptr, nullptr);
    char directoryA[MAX_PATH * 2] = {};
    if (bytes > 0 && bytes <= int(sizeof(directoryA))) {
        ::WideCharToMultiByte(CP_ACP, 0, selection.Folder(), -1, directoryA, bytes, nullptr, nullptr);
        info.lpDirectory = directoryA;
    }
    HRESULT hr = m_menuHandler->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
    out.Line(0, L"invoke %s\\%s %u: 0x%08lX", m_entry.classKey.GetString(), m_entry.name.GetString(), offset, hr);
    return SUCCEEDED(hr);
}

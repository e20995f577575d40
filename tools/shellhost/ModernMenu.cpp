#include "ModernMenu.h"
#include <shlwapi.h>

namespace {

const WCHAR kHandlerServerKey[] = L"CLSID\\{5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}\\InprocServer32";
const CLSID kExplorerCommandClass = { 0x5A1E0C47, 0x6B2D, 0x4F80, { 0x9C, 0x14, 0x7E, 0x3B, 0x2A, 0x9D, 0x0F, 0x61 } };
const int kMaxDepth = 8;
const ULONG kMaxChildren = 256;

// Explorer's site for a command it invokes: it gives the window that owns what the command shows.
class CHostSite : public IOleWindow {
public:
    explicit CHostSite(HWND window) : m_window(window) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    // Lives on the caller's stack for the one call; counting is not needed.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    HWND m_window;
};

CString Taken(LPWSTR text)
{
    CString copy(text ? text : L"");
    ::CoTaskMemFree(text);
    return copy;
}

CString StateText(HRESULT hr, EXPCMDSTATE state)
{
    CString text;
    if (hr == E_PENDING)
        return CString(L"pending");
    if (FAILED(hr)) {
        text.Format(L"failed 0x%08lX", hr);
        return text;
    }
    text = (state & ECS_HIDDEN) ? L"hidden" : (state & ECS_DISABLED) ? L"disabled" : L"enabled";
    if (state & ECS_CHECKBOX)
        text += (state & ECS_CHECKED) ? L" checked" : L" unchecked";
    return text;
}

CString FlagsText(EXPCMDFLAGS flags)
{
    CString text;
    if (flags & ECF_HASSUBCOMMANDS)
        text += L" has-subcommands";
    if (flags & ECF_ISSEPARATOR)
        text += L" separator";
    if (flags & ECF_HASSPLITBUTTON)
        text += L" split-button";
    if (flags & ECF_HIDELABEL)
        text += L" hide-label";
    return text;
}

}

CModernMenu::~CModernMenu()
{
    m_root.Release();
    if (m_module)
        ::FreeLibrary(m_module);
}

bool CModernMenu::Create()
{
    WCHAR path[MAX_PATH] = L"";
    LONG size = sizeof(path) - sizeof(WCHAR);
    if (::RegQueryValueW(HKEY_CLASSES_ROOT, kHandlerServerKey, path, &size) != ERROR_SUCCESS || !path[0]) {
        m_out.Line(0, L"modern: the Morvane handler is not registered");
        return false;
    }
    m_module = ::LoadLibraryW(path);
    auto getClassObject = m_module ? reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
                                         reinterpret_cast<void*>(::GetProcAddress(m_module, "DllGetClassObject")))
                                   : nullptr;
    CComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject ? getClassObject(kExplorerCommandClass, IID_IClassFactory, factory.ReceiveVoid()) : E_FAIL;
    if (SUCCEEDED(hr))
        hr = factory->CreateInstance(nullptr, IID_IExplorerCommand, m_root.ReceiveVoid());
    m_out.Line(0, L"modern {5A1E0C47-6B2D-4F80-9C14-7E3B2A9D0F61} from %s: 0x%08lX", path, hr);
    return SUCCEEDED(hr) && m_root;
}

CString CModernMenu::Title(IExplorerCommand* command, IShellItemArray* items)
{
    LPWSTR title = nullptr;
    HRESULT hr = command->GetTitle(items, &title);
    return SUCCEEDED(hr) ? Taken(title) : CString();
}

bool CModernMenu::Print(const CSelection& selection)
{
    IShellItemArray* items = selection.Items();
    EXPCMDSTATE state = 0;
    HRESULT hr = m_root->GetState(items, FALSE, &state);
    m_out.Line(0, L"fast state: %s", StateText(hr, state).GetString());
    hr = m_root->GetState(items, TRUE, &state);
    m_out.Line(0, L"slow state: %s", StateText(hr, state).GetString());
    if (FAILED(hr) || (state & ECS_HIDDEN))
        return SUCCEEDED(hr);
    LPWSTR icon = nullptr;
    if (SUCCEEDED(m_root->GetIcon(items, &icon)))
        m_out.Line(0, L"icon \"%s\"", Taken(icon).GetString());
    bool ok = true;
    PrintCommand(m_root, items, 0, 0, ok);
    return ok;
}

void CModernMenu::PrintCommand(IExplorerCommand* command, IShellItemArray* items, int level, int depth, bool& ok)
{
    EXPCMDFLAGS flags = 0;
    HRESULT hr = command->GetFlags(&flags);
    if (FAILED(hr))
        ok = false;
    if (flags & ECF_ISSEPARATOR) {
        m_out.Line(level, L"--------");
        return;
    }
    EXPCMDSTATE state = 0;
    HRESULT stateResult = command->GetState(items, TRUE, &state);
    CString stateText = StateText(stateResult, state);
    CString title = Title(command, items);
    LPWSTR tip = nullptr;
    CString tipText;
    if (SUCCEEDED(command->GetToolTip(items, &tip)))
        tipText.Format(L" tip \"%s\"", Taken(tip).GetString());
    bool popup = (flags & ECF_HASSUBCOMMANDS) != 0;
    m_out.Line(level, L"%s\"%s\" %s%s%s", popup ? L"popup " : L"", title.GetString(), stateText.GetString(),
               FlagsText(flags).GetString(), tipText.GetString());
    if (!popup || depth >= kMaxDepth)
        return;
    CComPtr<IEnumExplorerCommand> children;
    if (FAILED(command->EnumSubCommands(&children)) || !children) {
        m_out.Line(level + 1, L"(no subcommands)");
        ok = false;
        return;
    }
    CComPtr<IExplorerCommand> child;
    for (ULONG n = 0; n < kMaxChildren && children->Next(1, &child, nullptr) == S_OK; ++n)
        PrintCommand(child, items, level + 1, depth + 1, ok);
}

bool CModernMenu::Invoke(const CSelection& selection, const CString& path, HWND owner)
{
    IShellItemArray* items = selection.Items();
    EXPCMDSTATE state = 0;
    m_root->GetState(items, TRUE, &state);
    CComPtr<IExplorerCommand> at(m_root);
    int start = 0;
    while (start <= path.GetLength() && at) {
        int end = path.Find(L'/', start);
        CString title = path.Mid(start, end < 0 ? -1 : end - start);
        start = end < 0 ? path.GetLength() + 1 : end + 1;
        if (at.Get() == m_root.Get() && Title(at, items) == title)
            continue;  // the path may name the root too
        CComPtr<IEnumExplorerCommand> children;
        CComPtr<IExplorerCommand> child, found;
        if (SUCCEEDED(at->EnumSubCommands(&children)) && children)
            for (ULONG n = 0; !found && n < kMaxChildren && children->Next(1, &child, nullptr) == S_OK; ++n)
                if (Title(child, items) == title)
                    found = child;
        at = found;
    }
    if (!at) {
        m_out.Line(0, L"invoke \"%s\": no such command", path.GetString());
        return false;
    }
    CHostSite site(owner);
    CComPtr<IObjectWithSite> withSite;
    if (SUCCEEDED(at->QueryInterface(IID_IObjectWithSite, withSite.ReceiveVoid())))
        withSite->SetSite(&site);
    HRESULT hr = at->Invoke(items, nullptr);
    if (withSite)
        withSite->SetSite(nullptr);
    m_out.Line(0, L"invoke \"%s\": 0x%08lX", path.GetString(), hr);
    return SUCCEEDED(hr);
}

#include "DesktopShell.h"
#include "Holders.h"
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

namespace {

// A BSTR that frees itself.
class CBstr {
public:
    explicit CBstr(LPCWSTR text) : m_text(::SysAllocString(text)) {}
    ~CBstr() { ::SysFreeString(m_text); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    BSTR Get() const { return m_text; }

private:
    BSTR m_text;
};

// A VARIANT holding a string, cleared at the end.
class CStringVariant {
public:
    explicit CStringVariant(LPCWSTR text)
    {
        ::VariantInit(&m_value);
        m_value.vt = VT_BSTR;
        V_BSTR(&m_value) = ::SysAllocString(text);
    }
    ~CStringVariant() { ::VariantClear(&m_value); }
    CStringVariant(const CStringVariant&) = delete;
    CStringVariant& operator=(const CStringVariant&) = delete;
    bool IsValid() const { return V_BSTR(&m_value) != nullptr; }
    VARIANT& Get() { return m_value; }

private:
    VARIANT m_value;
};

// Explorer's desktop folder view as an automation object, whose Application is the Shell object.
HRESULT DesktopShellDispatch(CComPtr<IShellDispatch2>& shell)
{
    CComPtr<IShellWindows> windows;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                    windows.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    VARIANT location, root;
    ::VariantInit(&location);
    ::VariantInit(&root);
    V_VT(&location) = VT_I4;
    V_I4(&location) = CSIDL_DESKTOP;
    LONG window = 0;
    CComPtr<IDispatch> desktop;
    hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
    if (hr != S_OK || !desktop)
        return FAILED(hr) ? hr : E_FAIL;
    CComPtr<IShellBrowser> browser;
    hr = ::IUnknown_QueryService(desktop, SID_STopLevelBrowser, IID_IShellBrowser, browser.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    CComPtr<IShellView> view;
    if (FAILED(hr = browser->QueryActiveShellView(&view)))
        return hr;
    CComPtr<IDispatch> background;
    if (FAILED(hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid())))
        return hr;
    CComPtr<IShellFolderViewDual> folderView;
    if (FAILED(hr = background.QueryInterface(IID_IShellFolderViewDual, folderView)))
        return hr;
    CComPtr<IDispatch> application;
    if (FAILED(hr = folderView->get_Application(&application)))
        return hr;
    return application.QueryInterface(IID_IShellDispatch2, shell);
}

}

HRESULT StartFromDesktop(LPCWSTR program, LPCWSTR arguments, int show)
{
    CComPtr<IShellDispatch2> shell;
    HRESULT hr = DesktopShellDispatch(shell);
    if (FAILED(hr))
        return hr;
    WCHAR folder[MAX_PATH];
    if (FAILED(::StringCchCopyW(folder, MAX_PATH, program)) || !::PathRemoveFileSpecW(folder))
        folder[0] = 0;
    CBstr file(program);
    CStringVariant args(arguments), directory(folder), operation(L"open");
    VARIANT showWindow;
    ::VariantInit(&showWindow);
    V_VT(&showWindow) = VT_I4;
    V_I4(&showWindow) = show;
    if (!file.Get() || !args.IsValid() || !directory.IsValid() || !operation.IsValid())
        return E_OUTOFMEMORY;
    // Explorer's process takes the foreground from here on; the program it starts inherits the right.
    DWORD explorer = 0;
    if (::GetWindowThreadProcessId(::GetShellWindow(), &explorer) && explorer)
        ::AllowSetForegroundWindow(explorer);
    return shell->ShellExecute(file.Get(), args.Get(), directory.Get(), operation.Get(), showWindow);
}

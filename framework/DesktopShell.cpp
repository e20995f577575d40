#include "DesktopShell.h"
#include "Holders.h"
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

namespace {

// A VARIANT cleared at the end; a string one holds a BSTR copy of the text.
class CVariant {
public:
    CVariant() { ::VariantInit(&value); }
    explicit CVariant(LPCWSTR text) : CVariant()
    {
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = ::SysAllocString(text);
    }
    explicit CVariant(int number) : CVariant()
    {
        V_VT(&value) = VT_I4;
        V_I4(&value) = number;
    }
    ~CVariant() { ::VariantClear(&value); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    VARIANT value;
};

// Explorer's desktop folder view as an automation object, whose Application is the Shell object.
// Each step runs only when the one before it succeeded; the holders release what was reached.
HRESULT DesktopShellDispatch(CComPtr<IShellDispatch2>& shell)
{
    CComPtr<IShellWindows> windows;
    CComPtr<IDispatch> desktop, background, application;
    CComPtr<IShellBrowser> browser;
    CComPtr<IShellView> view;
    CComPtr<IShellFolderViewDual> folderView;
    CVariant location(int(CSIDL_DESKTOP)), root;
    LONG window = 0;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                    windows.ReceiveVoid());
    if (SUCCEEDED(hr))
        hr = windows->FindWindowSW(&location.value, &root.value, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
    if (hr == S_FALSE || (SUCCEEDED(hr) && !desktop))
        hr = E_FAIL;  // no desktop window: Explorer is not the shell
    if (SUCCEEDED(hr))
        hr = ::IUnknown_QueryService(desktop, SID_STopLevelBrowser, IID_IShellBrowser, browser.ReceiveVoid());
    if (SUCCEEDED(hr))
        hr = browser->QueryActiveShellView(&view);
    if (SUCCEEDED(hr))
        hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid());
    if (SUCCEEDED(hr))
        hr = background.QueryInterface(IID_IShellFolderViewDual, folderView);
    if (SUCCEEDED(hr))
        hr = folderView->get_Application(&application);
    if (SUCCEEDED(hr))
        hr = application.QueryInterface(IID_IShellDispatch2, shell);
    return hr;
}

}

HRESULT StartFromDesktop(LPCWSTR program, LPCWSTR arguments, int show)
{
    CComPtr<IShellDispatch2> shell;
    HRESULT hr = DesktopShellDispatch(shell);
    if (FAILED(hr))
        return hr;
    WCHAR folder[MAX_PATH] = L"";
    if (FAILED(::StringCchCopyW(folder, MAX_PATH, program)) || !::PathRemoveFileSpecW(folder))
        folder[0] = 0;
    BSTR file = ::SysAllocString(program);
    CVariant args(arguments), directory(folder), operation(L"open"), showWindow(show);
    // Explorer's process takes the foreground from here on; the program it starts inherits the right.
    DWORD explorer = 0;
    if (::GetWindowThreadProcessId(::GetShellWindow(), &explorer) && explorer)
        ::AllowSetForegroundWindow(explorer);
    hr = file && V_BSTR(&args.value) && V_BSTR(&directory.value) && V_BSTR(&operation.value)
        ? shell->ShellExecute(file, args.value, directory.value, operation.value, showWindow.value)
        : E_OUTOFMEMORY;
    ::SysFreeString(file);
    return hr;
}

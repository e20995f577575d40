#include "DesktopShell.h"
#include "Holders.h"
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

namespace {

// A BSTR variant of an 8-bit text, freed with the holder.
class CTextVariant {
public:
    explicit CTextVariant(LPCSTR text)
    {
        ::VariantInit(&m_value);
        int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (length <= 0)
            return;
        BSTR wide = ::SysAllocStringLen(nullptr, UINT(length - 1));
        if (!wide)
            return;
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, length);
        m_value.vt = VT_BSTR;
        m_value.bstrVal = wide;
    }
    ~CTextVariant() { ::VariantClear(&m_value); }
    CTextVariant(const CTextVariant&) = delete;
    CTextVariant& operator=(const CTextVariant&) = delete;

    bool IsValid() const { return m_value.vt == VT_BSTR; }
    const VARIANT& Value() const { return m_value; }

private:
    VARIANT m_value;
};

// The desktop's folder view, through the shell window that shows the desktop.
HRESULT DesktopFolderView(CComPtr<IShellFolderViewDual>& folderView)
{
    CComPtr<IShellWindows> windows;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                    windows.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    VARIANT location;
    ::VariantInit(&location);
    long window = 0;
    CComPtr<IDispatch> desktop;
    // S_FALSE: no window matched.
    hr = windows->FindWindowSW(&location, &location, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
    if (hr != S_OK || !desktop)
        return E_FAIL;
    CComPtr<IServiceProvider> services;
    if (FAILED(hr = desktop.QueryInterface(IID_IServiceProvider, services)))
        return hr;
    CComPtr<IShellBrowser> browser;
    if (FAILED(hr = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.ReceiveVoid())))
        return hr;
    CComPtr<IShellView> view;
    if (FAILED(hr = browser->QueryActiveShellView(&view)) || !view)
        return FAILED(hr) ? hr : E_FAIL;
    CComPtr<IDispatch> background;
    if (FAILED(hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid())))
        return hr;
    return background.QueryInterface(IID_IShellFolderViewDual, folderView);
}

bool StartThroughShellDispatch(LPCSTR program, LPCSTR arguments)
{
    CComPtr<IShellFolderViewDual> folderView;
    if (FAILED(DesktopFolderView(folderView)))
        return false;
    CComPtr<IDispatch> application;
    CComPtr<IShellDispatch2> shell;
    if (FAILED(folderView->get_Application(&application)) || !application ||
        FAILED(application.QueryInterface(IID_IShellDispatch2, shell)))
        return false;
    CTextVariant file(program), parameters(arguments), folder(""), verb("");
    if (!file.IsValid() || !parameters.IsValid() || !folder.IsValid() || !verb.IsValid())
        return false;
    VARIANT show;
    ::VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_HIDE;
    return SUCCEEDED(shell->ShellExecute(file.Value().bstrVal, parameters.Value(), folder.Value(), verb.Value(), show));
}

DesktopShellStarter g_starter = &StartThroughShellDispatch;

}

bool StartFromDesktopShell(LPCSTR program, LPCSTR arguments)
{
    return g_starter(program, arguments);
}

DesktopShellStarter SetDesktopShellStarter(DesktopShellStarter starter)
{
    DesktopShellStarter previous = g_starter;
    g_starter = starter ? starter : &StartThroughShellDispatch;
    return previous;
}

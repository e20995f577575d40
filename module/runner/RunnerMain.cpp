// MorvaneRun.exe: runs one command of Morvane's menu for the files named on its command line:
//   MorvaneRun.exe <offset> "<path>" ["<path>" ...]
// Windows 11's menu has Explorer start it (the menu's own code runs in the COM surrogate, which may
// not bring a window to the front). Like Explorer, it creates the classic handler of the module
// beside it for the files, asks it for its menu and invokes the command at the offset.
#include "CommandIds.h"
#include "ComModule.h"
#include "DropFilesData.h"
#include "Guids.h"
#include "Holders.h"
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

enum ExitCode : int { kRan = 0, kUsage = 1, kNoModule = 2, kNoCommand = 3 };

const UINT kFirstId = 1;
const UINT kLastId = 0x7FFF;

class CArgv {
public:
    CArgv() : m_argv(::CommandLineToArgvW(::GetCommandLineW(), &m_count)) {}
    ~CArgv() { ::LocalFree(m_argv); }
    CArgv(const CArgv&) = delete;
    CArgv& operator=(const CArgv&) = delete;
    int Count() const { return m_argv ? m_count : 0; }
    LPCWSTR operator[](int i) const { return m_argv[i]; }

private:
    int m_count = 0;
    LPWSTR* m_argv;
};

// A command offset: decimal digits only, below the count every menu claims.
bool ParseOffset(LPCWSTR text, UINT& offset)
{
    offset = 0;
    if (!*text)
        return false;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9' || offset > UINT(kCommandCount))
            return false;
        offset = offset * 10 + UINT(*text - L'0');
    }
    return offset < UINT(kCommandCount);
}

// The module beside this program, by its full path: never one found on a search path.
HRESULT CreateHandler(CLibrary& module, CComPtr<IContextMenu>& handler)
{
    WCHAR path[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !::PathRemoveFileSpecW(path) || !::PathAppendW(path, L"Morvane.dll"))
        return E_FAIL;
    module.Attach(::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module.IsValid())
        return HRESULT_FROM_WIN32(::GetLastError());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject)
        return E_FAIL;
    CComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(CLSID_MorvaneMenuHandler, IID_IClassFactory, factory.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(nullptr, IID_IContextMenu, handler.ReceiveVoid());
}

int Run(UINT offset, const CArray<CString>& paths)
{
    CLibrary module;
    CComPtr<IContextMenu> handler;
    CComPtr<IShellExtInit> init;
    CComPtr<IDataObject> data;
    if (FAILED(CreateHandler(module, handler)) || FAILED(handler.QueryInterface(IID_IShellExtInit, init)))
        return kNoModule;
    if (FAILED(CDropFilesData::Create(paths, &data)) || FAILED(init->Initialize(nullptr, data, nullptr)))
        return kNoCommand;
    CMenuHandle menu(::CreatePopupMenu());
    if (!menu.IsValid() || FAILED(handler->QueryContextMenu(menu, 0, kFirstId, kLastId, CMF_NORMAL))
        || ::GetMenuItemCount(menu) == 0)
        return kNoCommand;
    CMINVOKECOMMANDINFO info = { sizeof(info) };
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.nShow = SW_SHOWNORMAL;
    int result = SUCCEEDED(handler->InvokeCommand(&info)) ? kRan : kNoCommand;
    // The handler goes before the module that serves it.
    init.Release();
    handler.Release();
    return result;
}

}

// The program's one COM object of its own, the selection's data object, counts in this module object.
CComModule g_module;

CComModule& ComModule()
{
    return g_module;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    CArgv argv;
    UINT offset = 0;
    if (argv.Count() < 3 || !ParseOffset(argv[1], offset))
        return kUsage;
    CArray<CString> paths;
    for (int i = 2; i < argv.Count(); ++i)
        if (!paths.Add(CString(argv[i])))
            return kUsage;
    CComInit com;
    if (FAILED(com.Result()))
        return kNoModule;
    return Run(offset, paths);
}

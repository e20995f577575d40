#include "MorvaneApp.h"
#include "ExplorerCommand.h"
#include "Logger.h"
#include "MenuHandler.h"
#include "Registrar.h"
#include "resource.h"
#include <oleauto.h>

namespace {

CComModule g_module;
CMorvaneApp g_app;
CActCtxHandle g_activationContext;
INIT_ONCE g_activationOnce = INIT_ONCE_STATIC_INIT;

CComClassEntry kClassMap[] = {
    { &CLSID_MorvaneMenuHandler, &CreateComInstance<CMenuHandler, false>, IDR_MENUHANDLER, nullptr },
    { &CLSID_MorvaneLogger, &CreateComInstance<CLogger, true>, IDR_LOGGER, nullptr },
    { &CLSID_MorvaneExplorerCommand, &CreateComInstance<CExplorerCommand, false>, 0, nullptr },  // no script: the package declares it
    { nullptr, nullptr, 0, nullptr },
};

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

const int kTitleCapacity = 64;

BOOL CALLBACK LoadTitle(INIT_ONCE*, void* title, void**)
{
    auto* text = static_cast<WCHAR*>(title);
    if (::LoadStringW(ModuleInstance(), IDS_PROJNAME, text, kTitleCapacity) <= 0)
        ::lstrcpynW(text, L"Morvane", kTitleCapacity);
    return TRUE;
}

BOOL CALLBACK CreateActivationContext(INIT_ONCE*, void*, void**)
{
    HINSTANCE module = ModuleInstance();
    CString path = GetModulePath(module);
    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.hModule = module;
    request.lpResourceName = ISOLATIONAWARE_MANIFEST_RESOURCE_ID;
    g_activationContext.Attach(::CreateActCtxW(&request));
    return TRUE;
}

HRESULT RegisterTypeLibrary(const CString& modulePath)
{
    CComPtr<ITypeLib> typeLib;
    HRESULT hr = ::LoadTypeLibEx(modulePath, REGKIND_NONE, &typeLib);
    if (FAILED(hr))
        return hr;
    CString helpDir = modulePath;
    int slash = helpDir.ReverseFind(L'\\');
    if (slash >= 0)
        helpDir.Truncate(slash);
    return ::RegisterTypeLib(typeLib, const_cast<LPWSTR>(modulePath.GetString()), const_cast<LPWSTR>(helpDir.GetString()));
}

}

HRESULT RunRegistration(RegistryMode mode)
{
    HINSTANCE module = ModuleInstance();
    CString path = GetModulePath(module);
    if (path.IsEmpty())
        return HRESULT_FROM_WIN32(::GetLastError());
    for (CComClassEntry* entry = kClassMap; entry->clsid; ++entry) {
        if (entry->registryScript == 0)
            continue;
        HRESULT hr = RunRegistryScript(module, entry->registryScript, mode, path);
        if (FAILED(hr) && mode == RegistryMode::Register)
            return hr;
    }
    if (mode == RegistryMode::Register)
        return RegisterTypeLibrary(path);
    return S_OK;
}

HANDLE ModuleActivationContext()
{
    ::InitOnceExecuteOnce(&g_activationOnce, &CreateActivationContext, nullptr, nullptr);
    return g_activationContext.Get();
}

CComModule& ComModule()
{
    return g_module;
}

HINSTANCE ModuleInstance()
{
    HINSTANCE instance = g_module.GetModuleInstance();
    return instance ? instance : ThisModule();
}

CString GetModulePath(HINSTANCE module)
{
    CString path;
    for (DWORD capacity = MAX_PATH; capacity <= 32768; capacity *= 4) {
        LPWSTR buffer = path.GetBuffer(int(capacity));
        if (!buffer)
            break;
        DWORD length = ::GetModuleFileNameW(module, buffer, capacity);
        if (length == 0)
            break;
        if (length < capacity) {
            path.ReleaseBuffer(int(length));
            return path;
        }
    }
    return CString();
}

BOOL CMorvaneApp::InitInstance()
{
    if (FAILED(g_module.Init(kClassMap, m_instance)))
        return FALSE;
    return CApp::InitInstance();
}

LPCTSTR CMorvaneApp::GetAppName() const
{
    ::InitOnceExecuteOnce(&m_titleOnce, &LoadTitle, m_title, nullptr);
    return m_title;
}

int CMorvaneApp::ExitInstance()
{
    g_activationContext.Close();
    g_module.Term();
    return CApp::ExitInstance();
}


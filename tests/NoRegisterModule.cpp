// A library with the module's other exports but without "DllRegisterServer", or (built with
// FAILING_REGISTRATION) with one that fails and registers nothing.
#include <windows.h>
#include <olectl.h>

#ifdef FAILING_REGISTRATION
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return SELFREG_E_CLASS;
}
#endif

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_OK;
}

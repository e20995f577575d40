// The module's entry point and its four exports.
#include "MorvaneApp.h"
#include "Registrar.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        return CApp::LibraryAttach(instance);
    }
    if (reason == DLL_PROCESS_DETACH)
        CApp::LibraryDetach();
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv)
{
    return ComModule().GetClassObject(clsid, riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return ComModule().GetLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    return RunRegistration(RegistryMode::Register);
}

STDAPI DllUnregisterServer()
{
    RunRegistration(RegistryMode::Unregister);
    return S_OK;
}

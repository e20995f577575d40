// The module's application object and its COM module object with the class map.
#pragma once
#include "App.h"
#include "ComModule.h"
#include "Str.h"
#include "Registrar.h"

class CMorvaneApp : public CApp {
public:
    CMorvaneApp() : CApp(nullptr) {}
    BOOL InitInstance() override;
    int ExitInstance() override;
    // The module's title from its string table, loaded on first use.
    LPCTSTR GetAppName() const override;

private:
    mutable INIT_ONCE m_titleOnce = INIT_ONCE_STATIC_INIT;
    mutable WCHAR m_title[64] = {};
};

// The loaded module's full path as the system reports it.
CString GetModulePath(HINSTANCE module);

// The activation context of the module's own manifest (Common Controls 6), made on first use and
// kept until the module unloads; INVALID_HANDLE_VALUE when it cannot be made. Everything the module
// shows runs inside it, so its windows are themed whatever the host's manifest chose.
HANDLE ModuleActivationContext();

// Resource instance of the module: the strings, menus and dialogs come from here.
HINSTANCE ModuleInstance();

// Runs the class map's registry scripts in order; registration then registers the type library.
// Registration returns the first failure; removal always goes through every script.
HRESULT RunRegistration(RegistryMode mode);

#include "App.h"

namespace {
CApp* g_app = nullptr;
}

CApp::CApp(LPCTSTR appName) : m_appName(appName)
{
    g_app = this;
}

CApp::~CApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CApp* CApp::Current()
{
    return g_app;
}

BOOL CApp::LibraryAttach(HINSTANCE instance)
{
    if (!g_app)
        return TRUE;
    g_app->m_instance = instance;
    return g_app->InitInstance();
}

void CApp::LibraryDetach()
{
    if (g_app)
        g_app->ExitInstance();
}

int CApp::RunProgram(HINSTANCE instance)
{
    if (!g_app)
        return 1;
    g_app->m_instance = instance;
    g_app->InitInstance();
    return g_app->ExitInstance();
}

// The installer program: the application object and the entry point.
#include "SetupApp.h"

namespace {
CSetupApp g_app;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return CApp::RunProgram(instance);
}

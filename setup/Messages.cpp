#include "Messages.h"
#include "App.h"

int PlainMessageBox(LPCSTR text, LPCSTR caption, UINT type)
{
    if (!caption) {
        CApp* app = CApp::Current();
        caption = app ? app->GetAppName() : nullptr;
    }
    return ::MessageBoxA(nullptr, text, caption, type);
}

void FailInstallation(LPCSTR text, LPCSTR caption)
{
    PlainMessageBox(text, caption, MB_OK | MB_ICONHAND);
    ::ExitProcess(1);
}

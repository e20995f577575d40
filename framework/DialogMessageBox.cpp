#include "DialogMessageBox.h"
#include "App.h"

int AppMessageBox(LPCTSTR text, UINT type)
{
    HWND owner = ::GetActiveWindow();
    if (owner)
        owner = ::GetAncestor(owner, GA_ROOT);
    if ((type & MB_TYPEMASK) == MB_OK && (type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    CApp* app = CApp::Current();
    LPCTSTR title = app ? app->GetAppName() : nullptr;
    return ::MessageBox(owner, text, title, type);
}

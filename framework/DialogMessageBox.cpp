#include "DialogMessageBox.h"
#include "App.h"

int ShowMessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type)
{
    if (!caption) {
        CApp* app = CApp::Current();
        caption = app ? app->GetAppName() : nullptr;
    }
    return ::MessageBox(owner, text, caption, type);
}

int AppMessageBox(LPCTSTR text, UINT type)
{
    HWND owner = ::GetActiveWindow();
    if (owner)
        owner = ::GetAncestor(owner, GA_ROOT);
    if ((type & MB_TYPEMASK) == MB_OK && (type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    return ShowMessageBox(owner, text, nullptr, type);
}

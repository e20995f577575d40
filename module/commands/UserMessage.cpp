#include "UserMessage.h"
#include "MorvaneApp.h"
#include "resource.h"

int ShowUserMessage(HWND owner, LPCWSTR text, UINT type)
{
    WCHAR title[64] = L"Morvane";
    if (::LoadStringW(ModuleInstance(), IDS_PROJNAME, title, ARRAYSIZE(title)) <= 0)
        ::lstrcpynW(title, L"Morvane", ARRAYSIZE(title));
    return ::MessageBoxW(owner, text, title, type);
}

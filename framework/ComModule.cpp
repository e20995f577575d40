#include "ComObject.h"

namespace {

// The standard class factory: creates instances through the class map's creation entry.
class CClassFactory : public IClassFactory {
public:
    explicit CClassFactory(HRESULT (*create)(IUnknown*, REFIID, void**)) : m_create(create) {}
    virtual ~CClassFactory() {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        static const QITAB table[] = { QITABENT(CClassFactory, IClassFactory), { nullptr, 0 } };
        return QISearch(this, table, riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(::InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return ULONG(refs);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        return m_create(outer, riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            ComModule().Lock();
        else
            ComModule().Unlock();
        return S_OK;
    }

private:
    volatile LONG m_refs = 1;
    HRESULT (*m_create)(IUnknown*, REFIID, void**);
};

}

HRESULT CComModule::Init(CComClassEntry* classMap, HINSTANCE instance)
{
    m_classMap = classMap;
    m_instance = instance;
    return m_cs.Init();
}

void CComModule::Term()
{
    if (!m_classMap)
        return;
    for (CComClassEntry* entry = m_classMap; entry->clsid; ++entry) {
        if (entry->classObject) {
            entry->classObject->Release();
            entry->classObject = nullptr;
        }
    }
    m_classMap = nullptr;
}

HRESULT CComModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!m_classMap)
        return CLASS_E_CLASSNOTAVAILABLE;
    for (CComClassEntry* entry = m_classMap; entry->clsid; ++entry) {
        if (!IsEqualCLSID(*entry->clsid, clsid))
            continue;
        {
            CCriticalSectionLock lock(m_cs);
            if (!entry->classObject) {
                entry->classObject = new (std::nothrow) CClassFactory(entry->createInstance);
                if (!entry->classObject)
                    return E_OUTOFMEMORY;
            }
        }
        return entry->classObject->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

#include "ComObject.h"

namespace {

// The standard class factory: creates instances through the class map's creation entry. The
// module's cache holds one reference; every further reference is a client's and keeps the module
// loaded, so the lock count carries the references beyond one.
class CClassFactory : public IClassFactory {
public:
    explicit CClassFactory(HRESULT (*create)(IUnknown*, REFIID, void**)) : m_create(create) {}
    virtual ~CClassFactory() {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        static const QITAB table[] = { QI_ENTRY(CClassFactory, IClassFactory), { nullptr, 0 } };
        return QISearch(this, table, riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        LONG refs = ::InterlockedIncrement(&m_refs);
        if (refs > 1)
            ComModule().Lock();
        return ULONG(refs);
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs > 0)
            ComModule().Unlock();
        else
            delete this;
        return ULONG(refs);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        return m_create(outer, riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        ComModule().LockServer(lock != FALSE);
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

void CComModule::LockServer(bool lock)
{
    if (lock) {
        ::InterlockedIncrement(&m_serverLocks);
        Lock();
        return;
    }
    for (LONG held = m_serverLocks; held > 0; held = m_serverLocks) {
        if (::InterlockedCompareExchange(&m_serverLocks, held - 1, held) == held) {
            Unlock();
            return;
        }
    }
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

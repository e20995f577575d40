// The in-process COM server's module object: lock count, instance handle, class map and the
// cached class objects.
#pragma once
#include "Holders.h"

// One coclass of the server. classObject is the cached class factory, created on first request.
struct CComClassEntry {
    const CLSID* clsid;
    HRESULT (*createInstance)(IUnknown* outer, REFIID riid, void** ppv);
    UINT registryScript;
    IClassFactory* classObject;
};

class CComModule {
public:
    CComModule() { m_cs.Init(); }
    HRESULT Init(CComClassEntry* classMap, HINSTANCE instance);
    void Term();

    HINSTANCE GetModuleInstance() const { return m_instance; }
    CComClassEntry* GetClassMap() const { return m_classMap; }
    LONG Lock() { return ::InterlockedIncrement(&m_lockCount); }
    LONG Unlock() { return ::InterlockedDecrement(&m_lockCount); }
    LONG GetLockCount() const { return m_lockCount; }
    // IClassFactory::LockServer: an unlock without a matching lock is ignored, so a stray one
    // cannot release a lock that a live object holds.
    void LockServer(bool lock);
    CCriticalSection& GetCriticalSection() { return m_cs; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

private:
    CComClassEntry* m_classMap = nullptr;
    HINSTANCE m_instance = nullptr;
    volatile LONG m_lockCount = 0;
    volatile LONG m_serverLocks = 0;  // the part of the lock count taken through LockServer
    CCriticalSection m_cs;
};

// The one module object of the program that serves COM classes.
CComModule& ComModule();

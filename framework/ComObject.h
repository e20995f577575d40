// Base classes for COM objects: reference counting, the module lock, the per-object critical
// section, interface tables searched with QISearch, aggregation, and the creation rules.
#pragma once
#include "ComModule.h"
#include <shlwapi.h>
#include <new>

// One entry of a QISearch table: QITABENT with the cast clang needs. The SDK's macro narrows the
// offset, a DWORD, into QITAB's int inside braces, which clang rejects where the offset is not a
// constant expression.
#define QI_ENTRY(Class, Interface) { &__uuidof(Interface), int(OFFSETOFCLASS(Interface, Class)) }

// Derived classes answer InternalQueryInterface from a QITAB and may override the construction hooks.
class CComObjectRoot {
public:
    CComObjectRoot() { ComModule().Lock(); }
    virtual ~CComObjectRoot() { ComModule().Unlock(); }
    CComObjectRoot(const CComObjectRoot&) = delete;
    CComObjectRoot& operator=(const CComObjectRoot&) = delete;

    HRESULT InitCriticalSection() { return m_objectCs.Init(); }
    virtual HRESULT FinalConstruct() { return S_OK; }
    virtual void FinalRelease() {}

protected:
    CCriticalSection m_objectCs;
};

// A stand-alone object: T with its own reference count.
template <class T>
class CComObject : public T {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return T::InternalQueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(::InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) {
            T::FinalRelease();
            delete this;
        }
        return ULONG(refs);
    }

private:
    volatile LONG m_refs = 0;
};

// T living inside an aggregate: its IUnknown is the outer object's.
template <class T>
class CComContainedObject : public T {
public:
    explicit CComContainedObject(IUnknown* outer) : m_outer(outer) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return m_outer->QueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return m_outer->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_outer->Release(); }

private:
    IUnknown* m_outer;
};

// The inner, non-delegating IUnknown that an aggregating outer object holds.
template <class T>
class CComAggObject : public IUnknown {
public:
    explicit CComAggObject(IUnknown* outer) : m_contained(outer) {}
    virtual ~CComAggObject() {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return m_contained.InternalQueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(::InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) {
            m_contained.FinalRelease();
            delete this;
        }
        return ULONG(refs);
    }
    HRESULT InitCriticalSection() { return m_contained.InitCriticalSection(); }
    HRESULT FinalConstruct() { return m_contained.FinalConstruct(); }

private:
    volatile LONG m_refs = 0;
    CComContainedObject<T> m_contained;
};

// Runs the creation steps on a new object: critical section, final construction, the interface.
// A failure destroys the object and returns the code.
template <class Object>
HRESULT FinishCreation(Object* object, REFIID riid, void** ppv)
{
    HRESULT hr = object->InitCriticalSection();
    if (SUCCEEDED(hr))
        hr = object->FinalConstruct();
    if (FAILED(hr)) {
        delete object;
        return hr;
    }
    object->AddRef();
    hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

// Creation entry for the class map. Aggregatable classes accept an outer object, which must ask
// for IUnknown; the others refuse it with CLASS_E_NOAGGREGATION.
template <class T, bool kAggregatable>
HRESULT CreateComInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer) {
        if (!kAggregatable || !IsEqualIID(riid, IID_IUnknown))
            return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) CComAggObject<T>(outer);
        if (!object)
            return E_OUTOFMEMORY;
        return FinishCreation(object, riid, ppv);
    }
    auto* object = new (std::nothrow) CComObject<T>();
    if (!object)
        return E_OUTOFMEMORY;
    return FinishCreation(object, riid, ppv);
}

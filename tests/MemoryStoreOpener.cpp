#include "MemoryStoreOpener.h"
#include "SummaryStore.h"

namespace {

CMemoryStoreOpener* g_current = nullptr;

LPWSTR TaskCopy(const std::wstring& text)
{
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    LPWSTR copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    memcpy(copy, text.c_str(), bytes);
    return copy;
}

// The store as a handler with capabilities hands it out.
class CCapableStore final : public IPropertyStore, public IPropertyStoreCapabilities {
public:
    CCapableStore(IPropertyStore* store, const std::vector<int>& readOnly) : m_store(store), m_readOnly(readOnly) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IPropertyStore)
            *object = static_cast<IPropertyStore*>(this);
        else if (iid == IID_IPropertyStoreCapabilities)
            *object = static_cast<IPropertyStoreCapabilities*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    STDMETHODIMP GetCount(DWORD* count) override { return m_store->GetCount(count); }
    STDMETHODIMP GetAt(DWORD index, PROPERTYKEY* key) override { return m_store->GetAt(index, key); }
    STDMETHODIMP GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override { return m_store->GetValue(key, value); }
    STDMETHODIMP SetValue(REFPROPERTYKEY key, REFPROPVARIANT value) override { return m_store->SetValue(key, value); }
    STDMETHODIMP Commit() override { return m_store->Commit(); }
    STDMETHODIMP IsPropertyWritable(REFPROPERTYKEY key) override
    {
        for (int index : m_readOnly)
            if (IsEqualPropertyKey(key, SummaryKey(index)))
                return S_FALSE;
        return S_OK;
    }

private:
    CComPtr<IPropertyStore> m_store;
    std::vector<int> m_readOnly;
    ULONG m_refs = 1;
};

}

CMemoryStoreOpener::CMemoryStoreOpener()
{
    PSCreateMemoryPropertyStore(IID_IPropertyStore, m_store.ReceiveVoid());
    g_current = this;
    SetPropertyStoreOpener(&Open);
}

CMemoryStoreOpener::~CMemoryStoreOpener()
{
    SetPropertyStoreOpener(nullptr);
    g_current = nullptr;
}

HRESULT WINAPI CMemoryStoreOpener::Open(PCWSTR, IBindCtx*, GETPROPERTYSTOREFLAGS flags, REFIID iid, void** store)
{
    *store = nullptr;
    g_current->m_openings.push_back(DWORD(flags));
    if ((flags & GPS_READWRITE) && g_current->refuseWriting)
        return STG_E_ACCESSDENIED;
    if ((flags & GPS_READWRITE) && !g_current->readOnly.empty()) {
        CCapableStore* capable = new CCapableStore(g_current->m_store, g_current->readOnly);
        HRESULT hr = capable->QueryInterface(iid, store);
        capable->Release();
        return hr;
    }
    return g_current->m_store ? g_current->m_store->QueryInterface(iid, store) : E_FAIL;
}

void CMemoryStoreOpener::Set(int index, const Value& value)
{
    CPropVariant stored;
    if (value.vt == VT_LPWSTR) {
        stored.vt = VT_LPWSTR;
        stored.pwszVal = TaskCopy(value.strings.at(0));
    } else if (value.vt == (VT_VECTOR | VT_LPWSTR)) {
        stored.vt = value.vt;
        stored.calpwstr.cElems = ULONG(value.strings.size());
        stored.calpwstr.pElems = static_cast<LPWSTR*>(CoTaskMemAlloc(value.strings.size() * sizeof(LPWSTR) + 1));
        for (size_t i = 0; i < value.strings.size(); ++i)
            stored.calpwstr.pElems[i] = TaskCopy(value.strings[i]);
    }
    m_store->SetValue(SummaryKey(index), stored);
}

CMemoryStoreOpener::Value CMemoryStoreOpener::Get(int index) const
{
    CPropVariant stored;
    Value value;
    if (FAILED(m_store->GetValue(SummaryKey(index), &stored)))
        return value;
    value.vt = stored.vt;
    if (stored.vt == VT_LPWSTR)
        value.strings.push_back(stored.pwszVal);
    else if (stored.vt == (VT_VECTOR | VT_LPWSTR))
        for (ULONG i = 0; i < stored.calpwstr.cElems; ++i)
            value.strings.push_back(stored.calpwstr.pElems[i]);
    return value;
}

ULONG CMemoryStoreOpener::Held() const
{
    m_store->AddRef();
    return m_store->Release() - 1;
}

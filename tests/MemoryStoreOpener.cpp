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

// The property handlers that Wine lacks, stood in for by one in-memory store (Wine's own
// PSCreateMemoryPropertyStore): while the opener lives, it is every file's property store. Lists are
// built and read by hand, since Wine's vector helpers abort the process.
#pragma once
#include <windows.h>
#include <propsys.h>
#include <string>
#include <vector>
#include "Holders.h"

class CMemoryStoreOpener {
public:
    // A value as the store holds it: its type, and its string or strings.
    struct Value {
        VARTYPE vt = VT_EMPTY;
        std::vector<std::wstring> strings;
        bool operator==(const Value& other) const { return vt == other.vt && strings == other.strings; }
    };
    static Value Text(const std::wstring& text) { return { VT_LPWSTR, { text } }; }
    static Value List(const std::vector<std::wstring>& strings) { return { VT_VECTOR | VT_LPWSTR, strings }; }

    CMemoryStoreOpener();
    ~CMemoryStoreOpener();
    CMemoryStoreOpener(const CMemoryStoreOpener&) = delete;
    CMemoryStoreOpener& operator=(const CMemoryStoreOpener&) = delete;

    // Summary value index 0 to 4 (title, subject, author, keywords, comments).
    void Set(int index, const Value& value);
    Value Get(int index) const;
    // The flags of every opening so far.
    const std::vector<DWORD>& Openings() const { return m_openings; }
    // References to the store that the code under test still holds.
    ULONG Held() const;
    // Like a read-only handler: the writable store is refused.
    bool refuseWriting = false;
    // Like a handler that writes only some properties: the writable store answers
    // IPropertyStoreCapabilities, with S_FALSE for these values' keys.
    std::vector<int> readOnly;

private:
    static HRESULT WINAPI Open(PCWSTR path, IBindCtx* context, GETPROPERTYSTOREFLAGS flags, REFIID iid, void** store);

    CComPtr<IPropertyStore> m_store;
    std::vector<DWORD> m_openings;
};

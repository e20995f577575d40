#include "SummaryStore.h"
#include "PathForm.h"

namespace {

// A joined list stops growing here: a handler may give any number of strings.
const int kTextCapacity = 32768;

PropertyStoreOpener g_opener = nullptr;

HRESULT WINAPI OpenThroughShell(PCWSTR path, IBindCtx* context, GETPROPERTYSTOREFLAGS flags, REFIID iid, void** store)
{
    *store = nullptr;
    HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    FARPROC found = shell ? ::GetProcAddress(shell, "SHGetPropertyStoreFromParsingName") : nullptr;
    if (!found)
        return E_NOTIMPL;
    PropertyStoreOpener open;
    static_assert(sizeof(open) == sizeof(found), "function pointers");
    CopyMemory(&open, &found, sizeof(open));
    return open(path, context, flags, iid, store);
}

LPWSTR TaskMemCopy(LPCWSTR text, int length)
{
    LPWSTR copy = static_cast<LPWSTR>(::CoTaskMemAlloc((size_t(length) + 1) * sizeof(WCHAR)));
    if (copy) {
        CopyMemory(copy, text, size_t(length) * sizeof(WCHAR));
        copy[length] = 0;
    }
    return copy;
}

CString AnsiText(LPCSTR text)
{
    CString wide;
    int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    LPWSTR buffer = length > 0 ? wide.GetBuffer(length) : nullptr;
    if (buffer) {
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, buffer, length);
        wide.ReleaseBuffer();
    }
    return wide;
}

CString JoinedText(const CALPWSTR& list)
{
    CString text;
    for (ULONG i = 0; i < list.cElems && text.GetLength() < kTextCapacity; ++i) {
        if (!list.pElems[i] || !list.pElems[i][0])
            continue;
        if (!text.IsEmpty())
            text += L"; ";
        text += list.pElems[i];
    }
    return text;
}

// The parts of the text between ";", each without its surrounding blanks; empty parts left out.
template <class Visit>
void ForEachPart(const CString& text, Visit visit)
{
    for (int start = 0; start <= text.GetLength();) {
        int end = text.Find(L';', start);
        if (end < 0)
            end = text.GetLength();
        CString part = text.Mid(start, end - start).Trimmed();
        if (!part.IsEmpty())
            visit(part);
        start = end + 1;
    }
}

bool ListValue(const CString& text, PROPVARIANT& value)
{
    ULONG count = 0;
    ForEachPart(text, [&count](const CString&) { ++count; });
    if (count == 0)
        return true;
    LPWSTR* parts = static_cast<LPWSTR*>(::CoTaskMemAlloc(count * sizeof(LPWSTR)));
    if (!parts)
        return false;
    value.vt = VT_VECTOR | VT_LPWSTR;
    value.calpwstr.pElems = parts;
    value.calpwstr.cElems = 0;
    bool copied = true;
    ForEachPart(text, [&value, &copied](const CString& part) {
        LPWSTR copy = copied ? TaskMemCopy(part, part.GetLength()) : nullptr;
        if (copy)
            value.calpwstr.pElems[value.calpwstr.cElems++] = copy;
        else
            copied = false;
    });
    if (!copied)
        ::PropVariantClear(&value);
    return copied;
}

}

void SetPropertyStoreOpener(PropertyStoreOpener opener)
{
    g_opener = opener;
}

PROPERTYKEY SummaryKey(int index)
{
    return PROPERTYKEY{ FMTID_SummaryInformation, DWORD(PIDSI_TITLE + index) };
}

bool IsSummaryList(int index)
{
    return index == PIDSI_AUTHOR - PIDSI_TITLE || index == PIDSI_KEYWORDS - PIDSI_TITLE;
}

HRESULT OpenSummaryStore(const CString& path, bool write, CComPtr<IPropertyStore>& store)
{
    // The shell parses plain paths only; one that the kernel's rules would change names another file.
    if (!IsExactPlainPath(path))
        return E_INVALIDARG;
    GETPROPERTYSTOREFLAGS flags = write ? GPS_READWRITE : GPS_HANDLERPROPERTIESONLY;
    return (g_opener ? g_opener : &OpenThroughShell)(path, nullptr, flags, IID_IPropertyStore, store.ReceiveVoid());
}

CString SummaryValueText(const PROPVARIANT& value)
{
    if (value.vt == VT_LPWSTR && value.pwszVal)
        return CString(value.pwszVal);
    if (value.vt == VT_LPSTR && value.pszVal)
        return AnsiText(value.pszVal);
    // Read by hand: Wine's PropVariantToStringAlloc and the vector helpers fail on lists.
    if (value.vt == (VT_VECTOR | VT_LPWSTR) && value.calpwstr.pElems)
        return JoinedText(value.calpwstr);
    return CString();
}

bool SummaryValueFromText(LPCWSTR text, bool asList, PROPVARIANT& value)
{
    CString whole(text ? text : L"");
    if (asList)
        return ListValue(whole, value);
    if (whole.IsEmpty())
        return true;
    value.pwszVal = TaskMemCopy(whole, whole.GetLength());
    if (!value.pwszVal)
        return false;
    value.vt = VT_LPWSTR;
    return true;
}

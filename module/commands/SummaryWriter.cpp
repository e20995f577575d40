// CFileList::WriteSummary: the five summary values of the first file, stored in its summary
// property set or, where they were read from it, through the property system.
#include "FileList.h"
#include "Holders.h"
#include "DialogMessageBox.h"
#include "PropertySets.h"
#include "SummaryStore.h"

namespace {

const WCHAR kOpenFailed[] = L"Could not open file entry to save Summary Information.";
const WCHAR kWriteFailed[] = L"Could not write summary information to file entry.";

// The value as the unchanged test sees it: the text of an 8-bit string, empty for anything else.
CString AnsiValueText(const PROPVARIANT& value)
{
    return value.vt == VT_LPSTR ? SummaryValueText(value) : CString();
}

// A wide-string value holding a copy of the text, or an empty value for an empty text.
bool SetValue(PROPVARIANT& value, LPCWSTR text)
{
    ::PropVariantClear(&value);
    return SummaryValueFromText(text, false, value);
}

HRESULT OpenOrCreateSummarySet(IPropertySetStorage* sets, CComPtr<IPropertyStorage>& properties)
{
    HRESULT hr = sets->Open(FMTID_SummaryInformation, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, &properties);
    if (SUCCEEDED(hr))
        return hr;
    return sets->Create(FMTID_SummaryInformation, &FMTID_SummaryInformation, PROPSETFLAG_ANSI,
                        STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, &properties);
}

// Sets the values whose text differs from the one read, and keeps them once they are stored. The
// property system's store keeps the file open: it is released at once.
bool WriteToStore(HWND parent, CFileList::CFileInfo& info, const LPCWSTR* texts)
{
    bool changed[CFileList::kSummaryCount];
    bool anyChanged = false;
    CPropVariant values[CFileList::kSummaryCount];
    for (int i = 0; i < CFileList::kSummaryCount; ++i) {
        changed[i] = info.SummaryText(i) != texts[i];
        anyChanged = anyChanged || changed[i];
        if (changed[i] && !SummaryValueFromText(texts[i], IsSummaryList(i), values[i])) {
            ShowMessageBox(parent, kWriteFailed);
            return false;
        }
    }
    if (!anyChanged)
        return true;
    CComPtr<IPropertyStore> store;
    if (FAILED(OpenSummaryStore(info.m_path, true, store)) || !store) {
        ShowMessageBox(parent, kOpenFailed);
        return false;
    }
    HRESULT hr = S_OK;
    for (int i = 0; i < CFileList::kSummaryCount && SUCCEEDED(hr); ++i)
        if (changed[i])
            hr = store->SetValue(SummaryKey(i), values[i]);
    if (SUCCEEDED(hr))
        hr = store->Commit();
    store.Release();
    if (FAILED(hr)) {
        ShowMessageBox(parent, kWriteFailed);
        return false;
    }
    for (int i = 0; i < CFileList::kSummaryCount; ++i)
        if (changed[i]) {
            ::PropVariantClear(&info.m_summary[i]);
            info.m_summary[i] = values[i];
            ::PropVariantInit(&values[i]);
        }
    return true;
}

}

UINT CFileList::WritableSummaryFields()
{
    const UINT all = (1u << kSummaryCount) - 1;
    if (m_files.IsEmpty() || !m_files[0].m_summaryFromStore)
        return all;
    // A read-only handler refuses the writable store; one that writes only some properties says so.
    CComPtr<IPropertyStore> store;
    if (FAILED(OpenSummaryStore(m_files[0].m_path, true, store)) || !store)
        return 0;
    CComPtr<IPropertyStoreCapabilities> capabilities;
    if (FAILED(store.QueryInterface(IID_IPropertyStoreCapabilities, capabilities)))
        return all;
    UINT writable = 0;
    for (int i = 0; i < kSummaryCount; ++i)
        if (capabilities->IsPropertyWritable(SummaryKey(i)) == S_OK)
            writable |= 1u << i;
    return writable;
}

bool CFileList::WriteSummary(HWND parent, LPCWSTR title, LPCWSTR subject, LPCWSTR author, LPCWSTR keywords,
                             LPCWSTR comments)
{
    if (m_files.IsEmpty())
        return false;
    CFileInfo& info = m_files[0];
    LPCWSTR texts[kSummaryCount] = { title, subject, author, keywords, comments };
    bool unchanged = true;
    for (int i = 0; i < kSummaryCount; ++i) {
        if (!texts[i])
            texts[i] = L"";
        if (AnsiValueText(info.m_summary[i]) != texts[i])
            unchanged = false;
    }
    if (info.m_summaryFromStore)
        return WriteToStore(parent, info, texts);
    if (unchanged)
        return true;

    for (int i = 0; i < kSummaryCount; ++i)
        if (!SetValue(info.m_summary[i], texts[i])) {
            ShowMessageBox(parent, kWriteFailed);
            return false;
        }

    CComPtr<IPropertySetStorage> sets;
    CComPtr<IPropertyStorage> properties;
    if (FAILED(OpenPropertySets(info.m_path, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, sets))
        || FAILED(OpenOrCreateSummarySet(sets, properties))) {
        properties.Release();
        sets.Release();
        ShowMessageBox(parent, kOpenFailed);
        return false;
    }
    PROPSPEC specs[kSummaryCount];
    for (int i = 0; i < kSummaryCount; ++i) {
        specs[i].ulKind = PRSPEC_PROPID;
        specs[i].propid = PIDSI_TITLE + i;
    }
    HRESULT written = properties->WriteMultiple(kSummaryCount, specs, info.m_summary, PID_FIRST_USABLE);
    HRESULT committed = properties->Commit(STGC_DEFAULT);
    properties.Release();
    sets.Release();
    // A commit that fails has not stored the values either.
    if (FAILED(written) || FAILED(committed)) {
        ShowMessageBox(parent, kWriteFailed);
        return false;
    }
    return true;
}

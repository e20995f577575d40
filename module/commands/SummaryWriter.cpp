// CFileList::WriteSummary: the five summary values of the first file, stored in its summary
// property set.
#include "FileList.h"
#include "Holders.h"
#include "DialogMessageBox.h"
#include "PropertySets.h"

namespace {

const WCHAR kOpenFailed[] = L"Could not open file entry to save Summary Information.";
const WCHAR kWriteFailed[] = L"Could not write summary information to file entry.";

// The value as the unchanged test sees it: the text of an 8-bit string, empty for anything else.
CString AnsiValueText(const PROPVARIANT& value)
{
    CString text;
    if (value.vt != VT_LPSTR || !value.pszVal)
        return text;
    int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, value.pszVal, -1, nullptr, 0);
    LPWSTR buffer = length > 0 ? text.GetBuffer(length) : nullptr;
    if (buffer) {
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, value.pszVal, -1, buffer, length);
        text.ReleaseBuffer();
    }
    return text;
}

// A wide-string value holding a copy of the text, or an empty value for an empty text.
bool SetValue(PROPVARIANT& value, LPCWSTR text)
{
    ::PropVariantClear(&value);
    if (!*text)
        return true;
    size_t bytes = (size_t(::lstrlenW(text)) + 1) * sizeof(WCHAR);
    LPWSTR copy = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    if (!copy)
        return false;
    CopyMemory(copy, text, bytes);
    value.vt = VT_LPWSTR;
    value.pwszVal = copy;
    return true;
}

HRESULT OpenOrCreateSummarySet(IPropertySetStorage* sets, CComPtr<IPropertyStorage>& properties)
{
    HRESULT hr = sets->Open(FMTID_SummaryInformation, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, &properties);
    if (SUCCEEDED(hr))
        return hr;
    return sets->Create(FMTID_SummaryInformation, &FMTID_SummaryInformation, PROPSETFLAG_ANSI,
                        STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, &properties);
}

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

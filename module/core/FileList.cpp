#include "FileList.h"
#include "Format.h"
#include "Holders.h"
#include "PathForm.h"
#include "PropertySets.h"
#include "SummaryStore.h"
#include "Trace.h"
#include <shellapi.h>
#include <shlobj.h>

namespace {

const int kLinkTextCapacity = 32768;

// Placeholders of cloud files (OneDrive and other sync providers) and files moved to offline
// storage. The first two are FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS and _RECALL_ON_OPEN, which
// mingw-w64's headers lack.
const DWORD kRecallOnDataAccess = 0x00400000;
const DWORD kRecallOnOpen = 0x00040000;
const DWORD kOnlineOnlyAttributes = kRecallOnDataAccess | kRecallOnOpen | FILE_ATTRIBUTE_OFFLINE;

FindDataReader g_findDataReader = nullptr;

// The file's registered type carries "IsShortcut".
bool HasShortcutType(const CString& extension)
{
    bool shortcutType = false;
    if (!extension.IsEmpty())
        TypeNameOf(extension, &shortcutType);
    return shortcutType;
}

// One answer of the link, kept only when the call succeeds with a non-empty text.
template <class Get>
void ReadLinkText(CString& buffer, Get get, CString& field)
{
    LPWSTR text = buffer.GetBuffer(kLinkTextCapacity);
    if (!text)
        return;
    text[0] = 0;
    if (SUCCEEDED(get(text, kLinkTextCapacity)) && text[0]) {
        text[kLinkTextCapacity - 1] = 0;
        field = text;
    }
}

// The five values of the file's property store, into cleared values; false when it has no store.
bool ReadStoreValues(const CString& path, PROPVARIANT* values)
{
    CComPtr<IPropertyStore> store;
    if (FAILED(OpenSummaryStore(path, false, store)) || !store)
        return false;
    for (int i = 0; i < CFileList::kSummaryCount; ++i) {
        PROPERTYKEY key = SummaryKey(i);
        if (FAILED(store->GetValue(key, &values[i])))
            ::PropVariantInit(&values[i]);
    }
    return true;
}

bool HasSummarySet(IPropertySetStorage* sets)
{
    CComPtr<IPropertyStorage> properties;
    return sets && SUCCEEDED(sets->Open(FMTID_SummaryInformation, STGM_READ | STGM_SHARE_EXCLUSIVE, &properties));
}

bool HasText(const PROPVARIANT* values)
{
    for (int i = 0; i < CFileList::kSummaryCount; ++i)
        if (!SummaryValueText(values[i]).IsEmpty())
            return true;
    return false;
}

}

void SetFindDataReader(FindDataReader reader)
{
    g_findDataReader = reader;
}

bool IsNt5OrLater()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info))
        return false;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 4;
}

CFileList::CFileInfo::CFileInfo() : m_linkLoaded(false), m_summaryFromStore(false), m_shortcutType(false)
{
    ZeroMemory(&m_findData, sizeof(m_findData));
    for (PROPVARIANT& value : m_summary)
        ::PropVariantInit(&value);
}

CFileList::CFileInfo::~CFileInfo()
{
    ClearSummary();
}

CFileList::CFileInfo::CFileInfo(CFileInfo&& other) : CFileInfo()
{
    TakeFrom(other);
}

CFileList::CFileInfo& CFileList::CFileInfo::operator=(CFileInfo&& other)
{
    if (this != &other)
        TakeFrom(other);
    return *this;
}

void CFileList::CFileInfo::TakeFrom(CFileInfo& other)
{
    m_path = static_cast<CString&&>(other.m_path);
    m_name = static_cast<CString&&>(other.m_name);
    m_extension = static_cast<CString&&>(other.m_extension);
    m_findData = other.m_findData;
    m_shortName = static_cast<CString&&>(other.m_shortName);
    m_shortPath = static_cast<CString&&>(other.m_shortPath);
    m_linkLoaded = other.m_linkLoaded;
    m_linkTarget = static_cast<CString&&>(other.m_linkTarget);
    m_linkArguments = static_cast<CString&&>(other.m_linkArguments);
    m_linkWorkingDir = static_cast<CString&&>(other.m_linkWorkingDir);
    m_typeName = static_cast<CString&&>(other.m_typeName);
    m_shortcutType = other.m_shortcutType;
    TakeSummary(other.m_summary);
    m_summaryFromStore = other.m_summaryFromStore;
}

// Takes over the values, which are left empty.
void CFileList::CFileInfo::TakeSummary(PROPVARIANT* values)
{
    ClearSummary();
    CopyMemory(m_summary, values, sizeof(m_summary));
    for (int i = 0; i < kSummaryCount; ++i)
        ::PropVariantInit(&values[i]);
}

void CFileList::CFileInfo::ClearSummary()
{
    for (PROPVARIANT& value : m_summary)
        ::PropVariantClear(&value);
}

void CFileList::CFileInfo::SetPath(LPCWSTR path)
{
    m_path = path;
    int start = 0;
    for (int i = 0; i < m_path.GetLength(); ++i)
        if (m_path[i] == L'\\' || m_path[i] == L'/' || m_path[i] == L':')
            start = i + 1;
    CString fileName = m_path.Mid(start);
    int dot = fileName.ReverseFind(L'.');
    if (dot >= 0) {
        m_name = fileName.Left(dot);
        m_extension = fileName.Mid(dot);
    } else {
        m_name = fileName;
        m_extension.Empty();
    }
    m_linkLoaded = false;
}

void CFileList::CFileInfo::LoadFindData()
{
    if (m_path.IsEmpty())
        return;
    WIN32_FIND_DATAW data;
    CFindHandle find((g_findDataReader ? g_findDataReader : &::FindFirstFileW)(KernelPath(m_path), &data));
    if (find.IsValid())
        m_findData = data;
}

bool CFileList::CFileInfo::IsOnlineOnly() const
{
    return (m_findData.dwFileAttributes & kOnlineOnlyAttributes) != 0;
}

void CFileList::CFileInfo::LoadType()
{
    m_typeName = TypeNameOf(m_extension, &m_shortcutType);
}

void CFileList::CFileInfo::LoadLinkInfo()
{
    if (!m_linkLoaded && HasShortcutType(m_extension))
        ReadLink();
}

bool CFileList::CFileInfo::IsShortcutOfLoadedType()
{
    if (IsOnlineOnly())
        return false;
    if (!m_linkLoaded && m_shortcutType)
        ReadLink();
    return !m_linkTarget.IsEmpty();
}

void CFileList::CFileInfo::ReadLink()
{
    CComPtr<IShellLinkW> link;
    CComPtr<IPersistFile> file;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid()))
        && SUCCEEDED(link.QueryInterface(IID_IPersistFile, file))
        && SUCCEEDED(file->Load(KernelPath(m_path), STGM_READ))) {
        CString buffer;
        IShellLinkW* shellLink = link;
        ReadLinkText(buffer, [shellLink](LPWSTR text, int capacity) { return shellLink->GetPath(text, capacity, nullptr, 0); },
                     m_linkTarget);
        ReadLinkText(buffer, [shellLink](LPWSTR text, int capacity) { return shellLink->GetArguments(text, capacity); },
                     m_linkArguments);
        ReadLinkText(buffer, [shellLink](LPWSTR text, int capacity) { return shellLink->GetWorkingDirectory(text, capacity); },
                     m_linkWorkingDir);
    }
    m_linkLoaded = true;
}

void CFileList::CFileInfo::ReadSummary()
{
    if (!IsNt5OrLater())
        return;
    bool compound = false;
    CComPtr<IPropertySetStorage> sets;
    bool opened = SUCCEEDED(OpenPropertySets(m_path, STGM_READ | STGM_SHARE_DENY_WRITE, sets, &compound));
    if (!compound) {
        // A summary set that an earlier version wrote stays in use until the handler has values;
        // without one, the store, so that what the user types lands where Explorer reads.
        CPropVariant stored[kSummaryCount];
        if (ReadStoreValues(m_path, stored) && (HasText(stored) || !HasSummarySet(sets))) {
            TakeSummary(stored);
            m_summaryFromStore = true;
            return;
        }
    }
    if (opened)
        ReadSummarySet(sets);
}

void CFileList::CFileInfo::ReadSummarySet(IPropertySetStorage* sets)
{
    m_summaryFromStore = false;
    CComPtr<IPropertyStorage> properties;
    HRESULT hr = sets->Open(FMTID_SummaryInformation, STGM_READ | STGM_SHARE_EXCLUSIVE, &properties);
    ClearSummary();
    if (SUCCEEDED(hr)) {
        PROPSPEC specs[kSummaryCount];
        for (int i = 0; i < kSummaryCount; ++i) {
            specs[i].ulKind = PRSPEC_PROPID;
            specs[i].propid = PIDSI_TITLE + i;
        }
        if (FAILED(properties->ReadMultiple(kSummaryCount, specs, m_summary)))
            ClearSummary();
    }
}

ULONGLONG CFileList::CFileInfo::GetFileLength()
{
    LoadFindData();
    return FileLength();
}

ULONGLONG CFileList::CFileInfo::FileLength() const
{
    return (ULONGLONG(m_findData.nFileSizeHigh) << 32) | m_findData.nFileSizeLow;
}

const CString& CFileList::CFileInfo::GetShortName()
{
    LoadFindData();
    return ShortName();
}

const CString& CFileList::CFileInfo::ShortName()
{
    m_shortName = m_findData.cAlternateFileName[0] ? m_findData.cAlternateFileName : m_findData.cFileName;
    m_shortName.MakeUpper();
    return m_shortName;
}

const CString& CFileList::CFileInfo::GetShortPath()
{
    LoadFindData();
    m_shortPath.Empty();
    CString path = KernelPath(m_path);
    DWORD needed = ::GetShortPathNameW(path, nullptr, 0);
    if (needed == 0)
        return m_shortPath;
    LPWSTR buffer = m_shortPath.GetBuffer(int(needed));
    if (!buffer)
        return m_shortPath;
    DWORD length = ::GetShortPathNameW(path, buffer, needed + 1);
    m_shortPath.ReleaseBuffer(length <= needed ? int(length) : 0);
    // The answer carries the "\\?\" form it was asked with; what is shown and copied never does.
    m_shortPath = PlainPath(m_shortPath);
    return m_shortPath;
}

CString CFileList::CFileInfo::GetSummaryText(int index)
{
    if (index < 0 || index >= kSummaryCount)
        return CString();
    ReadSummary();
    return SummaryText(index);
}

CString CFileList::CFileInfo::SummaryText(int index) const
{
    if (index < 0 || index >= kSummaryCount)
        return CString();
    return SummaryValueText(m_summary[index]);
}

CFileList::CFileList(IDataObject* dataObject)
{
    if (!dataObject)
        return;
    FORMATETC format = { CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    CStgMedium medium;
    if (FAILED(dataObject->GetData(&format, &medium)) || medium.tymed != TYMED_HGLOBAL)
        return;
    CGlobalLock<BYTE> block(medium.hGlobal);
    if (block.Get())
        AddDropList(block.Get(), block.Size());
}

// Walks the names of a DROPFILES block once, each taken whole and never beyond the block's end.
// (DragQueryFile looks each name up from the start of the list, which is quadratic in the count.)
void CFileList::AddDropList(const BYTE* block, SIZE_T size)
{
    if (size < sizeof(DROPFILES))
        return;
    const DROPFILES* header = reinterpret_cast<const DROPFILES*>(block);
    if (header->pFiles < sizeof(DROPFILES) || header->pFiles >= size)
        return;
    if (header->fWide)
        AddNames(reinterpret_cast<const WCHAR*>(block + header->pFiles), (size - header->pFiles) / sizeof(WCHAR));
    else
        AddNames(reinterpret_cast<const char*>(block + header->pFiles), size - header->pFiles);
}

namespace {

template <class Char>
SIZE_T NameLength(const Char* name, SIZE_T limit)
{
    SIZE_T n = 0;
    while (n < limit && name[n])
        ++n;
    return n;
}

bool ToPath(const WCHAR* name, SIZE_T length, CString& path)
{
    return path.Assign(name, int(length));
}

bool ToPath(const char* name, SIZE_T length, CString& path)
{
    int wide = ::MultiByteToWideChar(CP_ACP, 0, name, int(length), nullptr, 0);
    LPWSTR buffer = wide > 0 ? path.GetBuffer(wide) : nullptr;
    if (!buffer)
        return false;
    ::MultiByteToWideChar(CP_ACP, 0, name, int(length), buffer, wide);
    path.ReleaseBuffer(wide);
    return true;
}

}

template <class Char>
void CFileList::AddNames(const Char* names, SIZE_T limit)
{
    // A name that runs to the end of the block without its terminator is cut: it is left out.
    int count = 0;
    for (SIZE_T at = 0; at < limit && names[at];) {
        SIZE_T length = NameLength(names + at, limit - at);
        if (at + length >= limit)
            break;
        ++count;
        at += length + 1;
    }
    if (count > 0x7FFFFFF || !m_files.Reserve(count))
        return;
    CString path;
    SIZE_T at = 0;
    for (int i = 0; i < count; ++i) {
        SIZE_T length = NameLength(names + at, limit - at);
        if (length > 0x7FFFFFF || !ToPath(names + at, length, path))
            break;
        Trace(L"CFileList::CFileList[%d](%s)\n", i, path.GetString());
        AddPath(path);
        at += length + 1;
    }
}

bool CFileList::AddPath(LPCWSTR path)
{
    CFileInfo info;
    info.SetPath(path);
    return m_files.Add(static_cast<CFileInfo&&>(info));
}

CFileList::CFileInfo& CFileList::ElementAt(int index)
{
    if (m_files.IsValidIndex(index))
        return m_files[index];
    m_none = CFileInfo();
    return m_none;
}

const WIN32_FIND_DATAW& CFileList::FreshFindData(int index)
{
    CFileInfo& info = ElementAt(index);
    info.LoadFindData();
    return info.m_findData;
}

DWORD CFileList::GetAttributes(int index) { return FreshFindData(index).dwFileAttributes; }
FILETIME CFileList::GetCreationTime(int index) { return FreshFindData(index).ftCreationTime; }
FILETIME CFileList::GetLastWriteTime(int index) { return FreshFindData(index).ftLastWriteTime; }
FILETIME CFileList::GetLastAccessTime(int index) { return FreshFindData(index).ftLastAccessTime; }

bool CFileList::IsShortcut(int index)
{
    return !GetLinkTarget(index).IsEmpty();
}

CFileList::CFileInfo& CFileList::LinkInfo(int index)
{
    CFileInfo& info = ElementAt(index);
    info.LoadLinkInfo();
    return info;
}

const CString& CFileList::GetLinkTarget(int index) { return LinkInfo(index).m_linkTarget; }
const CString& CFileList::GetLinkArguments(int index) { return LinkInfo(index).m_linkArguments; }
const CString& CFileList::GetLinkWorkingDir(int index) { return LinkInfo(index).m_linkWorkingDir; }

bool CFileList::SetAttributes(HWND, DWORD requested, DWORD keep)
{
    for (CFileInfo& info : m_files) {
        info.LoadFindData();
        DWORD current = info.m_findData.dwFileAttributes;
        if ((requested | keep) == (current | keep))
            continue;
        DWORD updated = requested | (keep & current);
        if (::SetFileAttributesW(KernelPath(info.m_path), updated) == TRUE) {
            CString path = info.m_path;
            info.SetPath(path);
        }
    }
    return true;
}

#include "ExtList.h"
#include "Guids.h"
#include "Holders.h"
#include "OptionBits.h"
#include "RegKey.h"
#include <shellapi.h>

namespace {

// The registry's own limit for a key name, plus the terminator.
const DWORD kKeyNameChars = 256;
const DWORD kMaxFailedIndices = 1000;
// The shell reads several registry keys for each type's name: a long list is shared out between
// the calling thread and up to three workers, one run of records each.
const int kMaxWalkers = 4;
const int kMinRecordsPerWalker = 64;
const UINT kTypeFlags = SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES;
const UINT kIconFlags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
const WCHAR kHandlerKey[] = L"\\shellex\\ContextMenuHandlers\\MorvaneMenu";
const WCHAR kHandlersKey[] = L"\\shellex\\ContextMenuHandlers";
const WCHAR kHandlerName[] = L"MorvaneMenu";

// The handler's class identifier as the registration writes it: braced, upper-case hexadecimal.
CString HandlerClassId()
{
    WCHAR text[40] = L"";
    ::StringFromGUID2(CLSID_MorvaneMenuHandler, text, ARRAYSIZE(text));
    return CString(text);
}

CString Joined(const CString& first, LPCWSTR second)
{
    CString joined = first;
    joined += second;
    return joined;
}

// The two places a type's handler key can live: the classes as HKEY_CLASSES_ROOT shows them, and
// the user's own classes, which Windows merges into that view for the user (Wine does not, so they
// are read explicitly). An unelevated user can write only the second for a machine-wide type.
struct ClassesRoot {
    HKEY root;
    LPCWSTR prefix;
};
const ClassesRoot kMergedClasses = { HKEY_CLASSES_ROOT, L"" };
const ClassesRoot kUserClasses = { HKEY_CURRENT_USER, L"Software\\Classes\\" };

CString KeyUnder(const ClassesRoot& where, const CString& typeKey, LPCWSTR subKey)
{
    return Joined(Joined(CString(where.prefix), typeKey), subKey);
}

bool HandlerRegisteredUnder(const ClassesRoot& where, const CString& typeKey)
{
    CRegKey2 handler;
    if (handler.OpenKey(where.root, KeyUnder(where, typeKey, kHandlerKey), KEY_READ) != ERROR_SUCCESS)
        return false;
    CString value;
    return handler.ReadString(nullptr, value) == ERROR_SUCCESS && value == HandlerClassId();
}

// Writes the handler key with the class identifier; the registry's error when it cannot.
LONG WriteHandlerUnder(const ClassesRoot& where, const CString& typeKey)
{
    CRegKey2 handler;
    LONG err = handler.CreateKey(where.root, KeyUnder(where, typeKey, kHandlerKey), KEY_READ | KEY_WRITE);
    if (err != ERROR_SUCCESS)
        return err;
    const CString classId = HandlerClassId();
    CString value;
    if (handler.ReadString(nullptr, value) != ERROR_SUCCESS) {
        handler.WriteString(nullptr, classId);
        err = handler.ReadString(nullptr, value);
        if (err != ERROR_SUCCESS)
            return err;
    }
    return value != classId ? handler.WriteString(nullptr, classId) : ERROR_SUCCESS;
}

// Removes the handler key; ERROR_FILE_NOT_FOUND when the type has no handlers key there.
LONG RemoveHandlerUnder(const ClassesRoot& where, const CString& typeKey)
{
    CRegKey2 handlers;
    LONG err = handlers.OpenKey(where.root, KeyUnder(where, typeKey, kHandlersKey), KEY_READ);
    if (err != ERROR_SUCCESS)
        return err;
    err = handlers.DeleteTree(kHandlerName);
    return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

struct TypeRun {
    CExtList::CExtInfo* first;
    CExtList::CExtInfo* last;
    UINT flags;
};

// Fills each record's type name (and icon) from its extension; a record touches no shared state.
void ReadTypes(const TypeRun& run)
{
    for (CExtList::CExtInfo* record = run.first; record != run.last; ++record) {
        WCHAR keyName[kKeyNameChars + 1] = L".";
        ::lstrcpynW(keyName + 1, record->m_extension, kKeyNameChars);
        SHFILEINFOW info = {};
        if (!::SHGetFileInfoW(keyName, 0, &info, sizeof(info), run.flags))
            info.szTypeName[0] = 0;
        info.szTypeName[ARRAYSIZE(info.szTypeName) - 1] = 0;
        record->m_typeName = info.szTypeName;
        record->m_icon = (run.flags & SHGFI_SYSICONINDEX) ? info.iIcon : 0;
    }
}

DWORD WINAPI ReadTypesOnWorker(void* param)
{
    CComInit com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);  // the shell asks for it to fetch icons
    ReadTypes(*static_cast<const TypeRun*>(param));
    return 0;
}

int WalkerCount(int records)
{
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    int walkers = int(system.dwNumberOfProcessors);
    if (walkers > records / kMinRecordsPerWalker)
        walkers = records / kMinRecordsPerWalker;
    return walkers < 1 ? 1 : walkers > kMaxWalkers ? kMaxWalkers : walkers;
}

}

CExtList::CExtList(DWORD options)
{
    UINT flags = kTypeFlags | ((options & OptTypeIcons) ? kIconFlags : 0);
    // The walk ends where the registry says there is nothing more. An index that cannot be read is
    // stepped over; only a long run of them, which no registry gives, ends the walk early.
    DWORD failures = 0;
    for (DWORD index = 0; failures < kMaxFailedIndices; ++index) {
        WCHAR name[kKeyNameChars];
        DWORD length = kKeyNameChars;
        LONG err = ::RegEnumKeyExW(HKEY_CLASSES_ROOT, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (err == ERROR_NO_MORE_ITEMS)
            break;
        if (err != ERROR_SUCCESS) {
            ++failures;
            continue;
        }
        failures = 0;
        if (name[0] == L'.') {
            CExtInfo record;
            record.m_extension = name + 1;
            m_types.Add(static_cast<CExtInfo&&>(record));
        }
    }
    ReadTypeNames(flags);
}

// Every walker has finished before this returns: the list is whole, and no thread outlives it.
void CExtList::ReadTypeNames(UINT flags)
{
    int count = m_types.GetSize();
    int walkers = WalkerCount(count);
    int perWalker = (count + walkers - 1) / walkers;
    TypeRun runs[kMaxWalkers] = {};
    CKernelHandle threads[kMaxWalkers];
    HANDLE started[kMaxWalkers] = {};
    int startedCount = 0;
    for (int w = 0; w < walkers; ++w) {
        int first = w * perWalker, last = first + perWalker < count ? first + perWalker : count;
        runs[w] = { m_types.begin() + first, m_types.begin() + last, flags };
        if (w == 0)
            continue;
        threads[w].Attach(::CreateThread(nullptr, 0, &ReadTypesOnWorker, &runs[w], 0, nullptr));
        if (threads[w].IsValid())
            started[startedCount++] = threads[w];
        else
            ReadTypes(runs[w]);
    }
    ReadTypes(runs[0]);
    if (startedCount)
        ::WaitForMultipleObjects(DWORD(startedCount), started, TRUE, INFINITE);
}

const CExtList::CExtInfo& CExtList::ElementAt(int index) const
{
    return m_types.IsValidIndex(index) ? m_types[index] : m_none;
}

int CExtList::Find(LPCWSTR extension) const
{
    for (int i = 0; i < m_types.GetSize(); ++i)
        if (m_types[i].m_extension.CompareNoCase(extension) == 0)
            return i;
    return -1;
}

bool CExtList::TypeKeyName(int index, CString& name) const
{
    if (!m_types.IsValidIndex(index))
        return false;
    CRegKey2 key;
    if (key.OpenKey(HKEY_CLASSES_ROOT, Joined(CString(L"."), m_types[index].m_extension), KEY_READ) != ERROR_SUCCESS)
        return false;
    return key.ReadString(nullptr, name) == ERROR_SUCCESS && !name.IsEmpty();
}

bool CExtList::IsRegistered(int index) const
{
    CString typeKey;
    return TypeKeyName(index, typeKey)
        && (HandlerRegisteredUnder(kMergedClasses, typeKey) || HandlerRegisteredUnder(kUserClasses, typeKey));
}

bool CExtList::SetRegistered(int index, bool registered)
{
    CString typeKey;
    if (!TypeKeyName(index, typeKey))
        return false;
    if (registered) {
        LONG err = WriteHandlerUnder(kMergedClasses, typeKey);
        if (err == ERROR_ACCESS_DENIED)
            err = WriteHandlerUnder(kUserClasses, typeKey);
        return err == ERROR_SUCCESS;
    }
    // The user's copy first: while it exists, Windows directs a deletion through the merged view to it.
    LONG user = RemoveHandlerUnder(kUserClasses, typeKey);
    LONG merged = RemoveHandlerUnder(kMergedClasses, typeKey);
    bool anyHandlers = user != ERROR_FILE_NOT_FOUND || merged != ERROR_FILE_NOT_FOUND;
    return anyHandlers && (user == ERROR_SUCCESS || user == ERROR_FILE_NOT_FOUND)
        && (merged == ERROR_SUCCESS || merged == ERROR_FILE_NOT_FOUND);
}

int CExtList::Compare(int a, int b) const
{
    const CExtInfo& first = ElementAt(a);
    const CExtInfo& second = ElementAt(b);
    switch (m_sortMode) {
    case kSortAscending + 0:
        return first.m_typeName.CompareNoCase(second.m_typeName);
    case kSortAscending + 1:
        return first.m_extension.CompareNoCase(second.m_extension);
    case kSortDescending + 0:
        return second.m_typeName.CompareNoCase(first.m_typeName);
    case kSortDescending + 1:
        return second.m_extension.CompareNoCase(first.m_extension);
    }
    return 0;
}

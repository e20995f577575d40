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
// Up to four workers read the types' names, one for each 64 keys at least.
const int kMaxWorkers = 4;
const int kMinKeysPerWorker = 64;
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

// The shell's name for the record's type (and its icon), from its extension.
void ReadType(CExtList::CExtInfo& record, UINT flags)
{
    WCHAR keyName[kKeyNameChars + 1] = L".";
    ::lstrcpynW(keyName + 1, record.m_extension, kKeyNameChars);
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(keyName, 0, &info, sizeof(info), flags))
        info.szTypeName[0] = 0;
    info.szTypeName[ARRAYSIZE(info.szTypeName) - 1] = 0;
    record.m_typeName = info.szTypeName;
    record.m_icon = (flags & SHGFI_SYSICONINDEX) ? info.iIcon : 0;
}

// The extension keys of HKEY_CLASSES_ROOT, one at a time. The walk ends where the registry says
// there is nothing more. An index that cannot be read is stepped over; only a long run of them,
// which no registry gives, ends the walk early.
class CExtensionKeys {
public:
    bool Next(CString& extension)
    {
        for (DWORD failures = 0; failures < kMaxFailedIndices;) {
            WCHAR name[kKeyNameChars];
            DWORD length = kKeyNameChars;
            LONG err = ::RegEnumKeyExW(HKEY_CLASSES_ROOT, m_index++, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (err == ERROR_NO_MORE_ITEMS)
                return false;
            if (err != ERROR_SUCCESS) {
                ++failures;
                continue;
            }
            failures = 0;
            if (name[0] == L'.') {
                extension = name + 1;
                return true;
            }
        }
        return false;
    }

private:
    DWORD m_index = 0;
};

DWORD KeyCount()
{
    DWORD keys = 0;
    if (::RegQueryInfoKeyW(HKEY_CLASSES_ROOT, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return keys;
}

int WorkerCount(int keys)
{
    if (keys < kMinKeysPerWorker)
        return 0;
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    int workers = int(system.dwNumberOfProcessors);
    if (workers > keys / kMinKeysPerWorker)
        workers = keys / kMinKeysPerWorker;
    // Never 0 here: there is one processor at least, and keys / 64 is 1 at least.
    return workers > kMaxWorkers ? kMaxWorkers : workers;
}

// The shell reads several registry keys for each type's name, and the walk over HKEY_CLASSES_ROOT
// finds the extensions one by one: workers read the names of the records published so far while
// the walk goes on. The records never move while the queue lives. When it ends, the calling thread
// reads what is left beside the workers, and every worker has ended before the destructor returns.
class CTypeQueue {
public:
    CTypeQueue(CExtList::CExtInfo* records, UINT flags, int workers) : m_records(records), m_flags(flags)
    {
        for (int w = 0; w < workers && w < kMaxWorkers; ++w) {
            HANDLE thread = ::CreateThread(nullptr, 0, &Worker, this, 0, nullptr);
            if (!thread)
                continue;  // the calling thread reads what the workers do not
            m_threads[m_threadCount].Attach(thread);
            m_handles[m_threadCount++] = thread;
        }
    }
    CTypeQueue(const CTypeQueue&) = delete;
    CTypeQueue& operator=(const CTypeQueue&) = delete;
    ~CTypeQueue()
    {
        ::AcquireSRWLockExclusive(&m_lock);
        m_finished = true;
        ::ReleaseSRWLockExclusive(&m_lock);
        ::WakeAllConditionVariable(&m_changed);
        ReadTypes();
        if (m_threadCount)
            ::WaitForMultipleObjects(DWORD(m_threadCount), m_handles, TRUE, INFINITE);
    }

    // Records [0, count) are whole and may be read.
    void Publish(int count)
    {
        ::AcquireSRWLockExclusive(&m_lock);
        m_published = count;
        ::ReleaseSRWLockExclusive(&m_lock);
        ::WakeAllConditionVariable(&m_changed);
    }

private:
    static DWORD WINAPI Worker(void* param)
    {
        CComInit com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);  // the shell asks for it to fetch icons
        static_cast<CTypeQueue*>(param)->ReadTypes();
        return 0;
    }

    void ReadTypes()
    {
        for (int index; Take(index);)
            ReadType(m_records[index], m_flags);
    }

    // The next unread record, waiting while none is published; false once the queue has ended
    // and every record is taken.
    bool Take(int& index)
    {
        ::AcquireSRWLockExclusive(&m_lock);
        while (m_next >= m_published && !m_finished)
            ::SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
        bool taken = m_next < m_published;
        if (taken)
            index = m_next++;
        ::ReleaseSRWLockExclusive(&m_lock);
        return taken;
    }

    CExtList::CExtInfo* m_records;
    UINT m_flags;
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    int m_published = 0;
    int m_next = 0;
    bool m_finished = false;
    CKernelHandle m_threads[kMaxWorkers];
    HANDLE m_handles[kMaxWorkers] = {};
    int m_threadCount = 0;
};

}

CExtList::CExtList(DWORD options)
{
    const UINT flags = kTypeFlags | ((options & OptTypeIcons) ? kIconFlags : 0);
    CExtensionKeys keys;
    CString extension;
    // Room for every key there is now, so that no record moves while the workers read.
    DWORD keyCount = KeyCount();
    int room = keyCount <= 0x7FFFFFFF && m_types.Reserve(int(keyCount)) ? int(keyCount) : 0;
    bool more = false;
    {
        CTypeQueue queue(m_types.begin(), flags, WorkerCount(room));
        while ((more = keys.Next(extension)) && m_types.GetSize() < room) {
            AddRecord(extension);
            queue.Publish(m_types.GetSize());
        }
    }
    // Keys added since they were counted, read here now that records may move.
    for (; more; more = keys.Next(extension))
        if (AddRecord(extension))
            ReadType(m_types[m_types.GetSize() - 1], flags);
}

bool CExtList::AddRecord(const CString& extension)
{
    CExtInfo record;
    record.m_extension = extension;
    return m_types.Add(static_cast<CExtInfo&&>(record));
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

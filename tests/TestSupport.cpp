#include "TestSupport.h"
#include <shellapi.h>
#include <shlwapi.h>
#include <cstdio>
#include <new>

namespace {

LONG g_tempCounter = 0;

// Offers one block of bytes as CF_HDROP (or nothing at all).
class CHdropDataObject : public IDataObject {
public:
    CHdropDataObject(const std::string& block, bool offerHdrop) : m_block(block), m_offerHdrop(offerHdrop) {}
    virtual ~CHdropDataObject() {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        static const QITAB table[] = { QITABENT(CHdropDataObject, IDataObject), { nullptr, 0 } };
        return QISearch(this, table, riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = InterlockedDecrement(&m_refs);
        if (!refs)
            delete this;
        return ULONG(refs);
    }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        HRESULT hr = QueryGetData(format);
        if (FAILED(hr))
            return hr;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, m_block.size());
        if (!block)
            return E_OUTOFMEMORY;
        memcpy(GlobalLock(block), m_block.data(), m_block.size());
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (!m_offerHdrop || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    volatile LONG m_refs = 1;
    std::string m_block;
    bool m_offerHdrop;
};

}

CTempDir::CTempDir(const wchar_t* tag)
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    wchar_t name[MAX_PATH];
    wsprintfW(name, L"%smorvane-%s-%lu-%ld", base, tag, GetCurrentProcessId(), InterlockedIncrement(&g_tempCounter));
    m_path = name;
    RemoveTree(m_path);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

CTempDir::~CTempDir()
{
    RemoveTree(m_path);
}

std::wstring CTempDir::MakeFile(const std::wstring& name, const std::string& content) const
{
    std::wstring path = *this / name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file.IsValid() && !content.empty())
        WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    return path;
}

void RemoveTree(const std::wstring& plainPath)
{
    // Through the "\\?\" form, so that names ending in a blank or a dot go as well.
    bool absolute = plainPath.size() > 2 && plainPath[1] == L':';
    std::wstring path = absolute ? L"\\\\?\\" + plainPath : plainPath;
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW((path + L"\\*").c_str(), &data));
    if (find.IsValid()) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &data));
    }
    find.Close();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

CComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths)
{
    CComPtr<IDataObject> result;
    if (paths.empty())
        return result;
    std::vector<PIDLIST_ABSOLUTE> absolute;
    for (const std::wstring& path : paths)
        absolute.push_back(ILCreateFromPathW(path.c_str()));
    CComPtr<IShellFolder> folder;
    PCUITEMID_CHILD child = nullptr;
    std::vector<PCUITEMID_CHILD> children;
    bool ok = absolute[0] && SUCCEEDED(SHBindToParent(absolute[0], IID_IShellFolder, folder.ReceiveVoid(), &child));
    for (PIDLIST_ABSOLUTE pidl : absolute) {
        if (!pidl) {
            ok = false;
            break;
        }
        children.push_back(ILFindLastID(pidl));
    }
    if (ok)
        folder->GetUIObjectOf(nullptr, UINT(children.size()), children.data(), IID_IDataObject, nullptr, result.ReceiveVoid());
    for (PIDLIST_ABSOLUTE pidl : absolute)
        ILFree(pidl);
    return result;
}

std::string DropFilesBlock(const std::vector<std::wstring>& paths)
{
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
    for (const std::wstring& path : paths)
        block.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
    block.append(sizeof(wchar_t), '\0');  // the list ends with an empty name
    if (paths.empty())
        block.append(sizeof(wchar_t), '\0');
    return block;
}

CComPtr<IDataObject> BlockDataObject(const std::string& block)
{
    CComPtr<IDataObject> result;
    result.Attach(new CHdropDataObject(block, true));
    return result;
}

CComPtr<IDataObject> HdropDataObject(const std::vector<std::wstring>& paths)
{
    return BlockDataObject(DropFilesBlock(paths));
}

CComPtr<IDataObject> EmptyDataObject()
{
    CComPtr<IDataObject> result;
    result.Attach(new CHdropDataObject(std::string(), false));
    return result;
}

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

std::wstring BuiltModulePath()
{
    return ExeFolder() + L"\\Morvane.dll";
}

CRegisteredModule::CRegisteredModule() : m_module(LoadLibraryW(BuiltModulePath().c_str()))
{
    using Export = HRESULT(STDAPICALLTYPE*)();
    auto registerServer = m_module.IsValid() ? reinterpret_cast<Export>(GetProcAddress(m_module, "DllRegisterServer")) : nullptr;
    m_registered = registerServer && registerServer() == S_OK;
}

CRegisteredModule::~CRegisteredModule()
{
    using Export = HRESULT(STDAPICALLTYPE*)();
    if (auto unregisterServer = m_module.IsValid() ? reinterpret_cast<Export>(GetProcAddress(m_module, "DllUnregisterServer")) : nullptr)
        unregisterServer();
}

std::wstring ClipboardText()
{
    // The clipboard is one for all desktops, and Wine's clipboard manager opens it now and then to
    // copy it to and from the display's, empty for a moment: wait for the text.
    std::wstring text = L"<not opened>";
    WaitUntil(5000, [&text] {
        if (!OpenClipboard(nullptr))
            return false;
        text = L"<no text>";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            CGlobalLock<wchar_t> lock(data);
            if (lock.Get())
                text.assign(lock.Get(), wcsnlen(lock.Get(), lock.Size() / sizeof(wchar_t)));
        }
        CloseClipboard();
        return text != L"<no text>";
    });
    return text;
}

void PutOnClipboard(const std::wstring& text)
{
    if (!WaitUntil(5000, [] { return OpenClipboard(nullptr) != FALSE; }))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

BOOL StartProcess(std::wstring& commandLine, DWORD flags, STARTUPINFOW& startup, PROCESS_INFORMATION& process,
                  const wchar_t* application)
{
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(application, &commandLine[0], nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup,
                           &process))
            return TRUE;
        DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3)
            return FALSE;
        fwprintf(stderr, L"the new process was lost while starting (error %lu), starting it again: %ls\n", error,
                 commandLine.c_str());
    }
}

bool KeyExists(HKEY root, const std::wstring& key)
{
    CRegKeyHandle handle;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
}

bool ReadString(HKEY root, const std::wstring& key, const wchar_t* value, std::wstring& text)
{
    CRegKeyHandle handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(handle, value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS)
        return false;
    buffer.resize(wcslen(buffer.c_str()));
    text = buffer;
    return true;
}

std::vector<std::wstring> SubKeys(HKEY root, const std::wstring& key)
{
    std::vector<std::wstring> names;
    CRegKeyHandle handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& key)
{
    std::vector<std::wstring> names;
    CRegKeyHandle handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumValueW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

void DeleteTree(HKEY root, const std::wstring& key)
{
    SHDeleteKeyW(root, key.c_str());
}

void WriteString(HKEY root, const std::wstring& key, const wchar_t* value, const std::wstring& text)
{
    CRegKeyHandle handle;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) == ERROR_SUCCESS)
        RegSetValueExW(handle, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       DWORD((text.size() + 1) * sizeof(wchar_t)));
}

bool WriteDword(HKEY root, const std::wstring& key, const wchar_t* value, DWORD data)
{
    CRegKeyHandle handle;
    return RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) == ERROR_SUCCESS
        && RegSetValueExW(handle, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

DWORD ReadDword(HKEY root, const std::wstring& key, const wchar_t* value, DWORD missing)
{
    DWORD data = 0, size = sizeof(data);
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS)
        return missing;
    return data;
}

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& ready, DWORD pollMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (ready())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(pollMs);
    }
}

void RegisterFileType(const std::wstring& ext, const std::wstring& progId, const std::wstring& typeName, bool shortcut)
{
    WriteString(HKEY_CLASSES_ROOT, ext, nullptr, progId);
    WriteString(HKEY_CLASSES_ROOT, progId, nullptr, typeName);
    if (shortcut)
        WriteString(HKEY_CLASSES_ROOT, progId, L"IsShortcut", L"");
}

std::wstring ToWide(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &out[0], length);
    out.resize(wcslen(out.c_str()));
    return out;
}

std::string ToNarrow(const std::wstring& text)
{
    int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], length, nullptr, nullptr);
    out.resize(strlen(out.c_str()));
    return out;
}

FILETIME UtcFileTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME fields = {};
    fields.wYear = year;
    fields.wMonth = month;
    fields.wDay = day;
    fields.wHour = hour;
    fields.wMinute = minute;
    fields.wSecond = second;
    FILETIME time = {};
    SystemTimeToFileTime(&fields, &time);
    return time;
}

bool CreateSparseFile(const std::wstring& path, ULONGLONG size)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.IsValid())
        return false;
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(size);
    return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

HRESULT CreateCompoundDocument(const std::wstring& path, const std::vector<const char*>& summary)
{
    CComPtr<IStorage> storage;
    HRESULT hr = StgCreateStorageEx(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, STGFMT_STORAGE, 0,
                                    nullptr, nullptr, IID_IStorage, storage.ReceiveVoid());
    if (FAILED(hr) || summary.empty())
        return hr;
    CComPtr<IPropertySetStorage> sets;
    CComPtr<IPropertyStorage> properties;
    hr = storage.QueryInterface(IID_IPropertySetStorage, sets);
    if (SUCCEEDED(hr))
        hr = sets->Create(FMTID_SummaryInformation, nullptr, PROPSETFLAG_ANSI,
                          STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, &properties);
    std::vector<PROPSPEC> specs;
    std::vector<PROPVARIANT> values;
    for (size_t i = 0; i < summary.size() && i < 5; ++i) {
        if (!summary[i])
            continue;
        PROPSPEC id = { PRSPEC_PROPID, { PROPID(PIDSI_TITLE + i) } };
        PROPVARIANT value;
        PropVariantInit(&value);
        value.vt = VT_LPSTR;
        value.pszVal = const_cast<char*>(summary[i]);
        specs.push_back(id);
        values.push_back(value);
    }
    if (SUCCEEDED(hr))
        hr = properties->WriteMultiple(ULONG(specs.size()), specs.data(), values.data(), PID_FIRST_USABLE);
    if (SUCCEEDED(hr))
        hr = properties->Commit(STGC_DEFAULT);
    if (SUCCEEDED(hr))
        hr = storage->Commit(STGC_DEFAULT);
    return hr;
}

HRESULT CreateShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments,
                       const std::wstring& workingDir, const std::wstring& description, const std::wstring& iconPath,
                       int iconIndex)
{
    CComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(workingDir.c_str());
    if (!description.empty())
        link->SetDescription(description.c_str());
    if (!iconPath.empty())
        link->SetIconLocation(iconPath.c_str(), iconIndex);
    CComPtr<IPersistFile> file;
    hr = link.QueryInterface(IID_IPersistFile, file);
    if (FAILED(hr))
        return hr;
    return file->Save(linkPath.c_str(), TRUE);
}

CPageEndBuffer::CPageEndBuffer(size_t size)
{
    const size_t page = 4096, span = (size + page - 1) / page * page;
    m_pages = VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD previous = 0;
    if (!m_pages || !VirtualProtect(static_cast<char*>(m_pages) + span, page, PAGE_NOACCESS, &previous))
        return;
    m_bytes = static_cast<char*>(m_pages) + span - size;
    memset(m_bytes, 0, size);
}

CPageEndBuffer::~CPageEndBuffer()
{
    if (m_pages)
        VirtualFree(m_pages, 0, MEM_RELEASE);
}

ShortcutFields ReadShortcut(const std::wstring& linkPath)
{
    ShortcutFields fields;
    CComPtr<IShellLinkW> link;
    CComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid()))
        || FAILED(link.QueryInterface(IID_IPersistFile, file)) || FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return fields;
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, 0);
    fields.target = text;
    text[0] = 0;
    link->GetArguments(text, MAX_PATH);
    fields.arguments = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    fields.workingDir = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    fields.description = text;
    text[0] = 0;
    link->GetIconLocation(text, MAX_PATH, &fields.iconIndex);
    fields.iconPath = text;
    return fields;
}

StoredSummary ReadStoredSummary(const std::wstring& path)
{
    StoredSummary stored;
    CComPtr<IStorage> storage;
    CComPtr<IPropertySetStorage> sets;
    CComPtr<IPropertyStorage> properties;
    if (FAILED(StgOpenStorageEx(path.c_str(), STGM_READ | STGM_SHARE_EXCLUSIVE, STGFMT_ANY, 0, nullptr, nullptr,
                                IID_IStorage, storage.ReceiveVoid()))
        || FAILED(storage.QueryInterface(IID_IPropertySetStorage, sets))
        || FAILED(sets->Open(FMTID_SummaryInformation, STGM_READ | STGM_SHARE_EXCLUSIVE, &properties)))
        return stored;
    stored.found = true;
    // The set's code page tells how its 8-bit strings are stored: 1200 marks a Unicode set.
    PROPSPEC codePageSpec = { PRSPEC_PROPID, { PID_CODEPAGE } };
    PROPVARIANT codePage;
    PropVariantInit(&codePage);
    if (SUCCEEDED(properties->ReadMultiple(1, &codePageSpec, &codePage)) && codePage.vt == VT_I2)
        stored.codePage = codePage.iVal;
    PropVariantClear(&codePage);
    PROPSPEC specs[StoredSummary::kCount];
    PROPVARIANT values[StoredSummary::kCount];
    for (int i = 0; i < StoredSummary::kCount; ++i) {
        specs[i].ulKind = PRSPEC_PROPID;
        specs[i].propid = PIDSI_TITLE + i;
        PropVariantInit(&values[i]);
    }
    if (SUCCEEDED(properties->ReadMultiple(StoredSummary::kCount, specs, values)))
        for (int i = 0; i < StoredSummary::kCount; ++i) {
            stored.types[i] = values[i].vt;
            if (values[i].vt == VT_LPSTR && values[i].pszVal)
                stored.texts[i] = values[i].pszVal;
            if (values[i].vt == VT_LPWSTR && values[i].pwszVal)
                stored.texts[i] = ToNarrow(values[i].pwszVal);
            PropVariantClear(&values[i]);
        }
    return stored;
}

std::vector<std::wstring> ReadSummaryValues(const std::wstring& path)
{
    StoredSummary stored = ReadStoredSummary(path);
    std::vector<std::wstring> texts;
    if (stored.found)
        for (const std::string& text : stored.texts)
            texts.push_back(ToWide(text.c_str()));
    return texts;
}

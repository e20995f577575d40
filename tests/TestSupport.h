// What the tests share: temporary folders and files, data objects like the shell's, registry access.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <functional>
#include <string>
#include <vector>
#include "Holders.h"

// Polls ready() every pollMs until it holds or timeoutMs have passed; true when it held. Every wait
// of the tests on something another thread or process does goes through here.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& ready, DWORD pollMs = 20);

// A folder of its own for one test, deleted with everything in it when the holder goes.
class CTempDir {
public:
    explicit CTempDir(const wchar_t* tag = L"t");
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }
    // Creates (or overwrites) a file with the given bytes and returns its path.
    std::wstring MakeFile(const std::wstring& name, const std::string& content = "data") const;

private:
    std::wstring m_path;
};

// Removes a folder tree, clearing read-only attributes on the way.
void RemoveTree(const std::wstring& path);

// The data object the shell itself hands to a context-menu handler for these files (one folder).
CComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths);
// A minimal data object of our own that offers exactly a CF_HDROP list of the paths.
CComPtr<IDataObject> HdropDataObject(const std::vector<std::wstring>& paths);
// The CF_HDROP block (DROPFILES with wide names) of the paths, and a data object that offers exactly
// the given bytes as CF_HDROP.
std::string DropFilesBlock(const std::vector<std::wstring>& paths);
CComPtr<IDataObject> BlockDataObject(const std::string& block);
// A data object that offers no file list at all.
CComPtr<IDataObject> EmptyDataObject();

// The built module, loaded and registered through its own export for as long as the holder lives.
class CRegisteredModule {
public:
    CRegisteredModule();
    ~CRegisteredModule();
    bool IsRegistered() const { return m_registered; }

private:
    CLibrary m_module;
    bool m_registered = false;
};

// size bytes that end where an inaccessible page begins: a read or write past them faults.
class CPageEndBuffer {
public:
    explicit CPageEndBuffer(size_t size);
    ~CPageEndBuffer();
    CPageEndBuffer(const CPageEndBuffer&) = delete;
    CPageEndBuffer& operator=(const CPageEndBuffer&) = delete;
    void* Get() const { return m_bytes; }
    template <class T> T* As() const { return static_cast<T*>(m_bytes); }

private:
    void* m_pages = nullptr;
    void* m_bytes = nullptr;
};

// The clipboard's CF_UNICODETEXT, or a marker text when there is none.
std::wstring ClipboardText();
// Puts the text on the clipboard: a sentinel, so that a command that leaves the clipboard alone is seen.
void PutOnClipboard(const std::wstring& text);
// CreateProcessW with the same arguments. Under load Wine now and then loses a new process before
// it has started (the call fails with ERROR_INTERNAL_ERROR): that is tried again, twice at most,
// and reported on the standard error.
BOOL StartProcess(std::wstring& commandLine, DWORD flags, STARTUPINFOW& startup, PROCESS_INFORMATION& process,
                  const wchar_t* application = nullptr);

std::wstring ExeFolder();
std::wstring BuiltModulePath();

// Registry access for checks: whether a key exists, a string value (nullopt-like: ok=false).
bool KeyExists(HKEY root, const std::wstring& key);
bool ReadString(HKEY root, const std::wstring& key, const wchar_t* value, std::wstring& text);
std::vector<std::wstring> SubKeys(HKEY root, const std::wstring& key);
std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& key);
void DeleteTree(HKEY root, const std::wstring& key);
void WriteString(HKEY root, const std::wstring& key, const wchar_t* value, const std::wstring& text);
// False when the value could not be written.
bool WriteDword(HKEY root, const std::wstring& key, const wchar_t* value, DWORD data);
// A REG_DWORD value, or missing when there is none.
DWORD ReadDword(HKEY root, const std::wstring& key, const wchar_t* value, DWORD missing);

// The module's settings key of the current user (module tests only, SettingsStore.cpp): the stored
// options and, when given, quick extensions; what is stored (missing values read as 0xBAD and
// "<missing>"); and the key removed.
void StoreSettings(DWORD options, const wchar_t* quickExts = nullptr);
void StoreSetting(const wchar_t* value, DWORD data);
void StoreQuickExts(const std::wstring& quickExts);
DWORD StoredOptions();
std::wstring StoredQuickExts();
void ClearSettings();
// Registers ".ext" as type progId; with shortcut, the type carries "IsShortcut".
void RegisterFileType(const std::wstring& ext, const std::wstring& progId, const std::wstring& typeName, bool shortcut);

std::wstring ToWide(const char* text);
std::string ToNarrow(const std::wstring& text);

// A file time given in UTC fields.
FILETIME UtcFileTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second = 0);
// Creates (or replaces) a sparse file of the given size; false when it cannot be made.
bool CreateSparseFile(const std::wstring& path, ULONGLONG size);

// Creates a compound document. With summary values (title, subject, author, keywords, comments in
// that order; null leaves one out) it gets a summary property set holding them as 8-bit strings.
HRESULT CreateCompoundDocument(const std::wstring& path, const std::vector<const char*>& summary = {});

// Creates a shell link at linkPath with the given fields through IShellLinkW.
HRESULT CreateShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments,
                       const std::wstring& workingDir, const std::wstring& description = L"",
                       const std::wstring& iconPath = L"", int iconIndex = 0);
// A shell link's fields as IShellLinkW reads them back; all empty when it cannot be loaded.
struct ShortcutFields {
    std::wstring target, arguments, workingDir, description, iconPath;
    int iconIndex = -1;
};
ShortcutFields ReadShortcut(const std::wstring& linkPath);

// What a compound document's summary property set holds, read without the code under test: the set's
// code page and, for title, subject, author, keywords and comments, each value's type and text (an
// 8-bit value as stored, a wide one converted).
struct StoredSummary {
    static const int kCount = 5;
    bool found = false;
    int codePage = 0;
    VARTYPE types[kCount] = {};
    std::string texts[kCount];
};
StoredSummary ReadStoredSummary(const std::wstring& path);
// The five summary texts as wide strings; empty when the document has no summary set.
std::vector<std::wstring> ReadSummaryValues(const std::wstring& path);

// Explorer's site for a command: an IOleWindow handing out the window (GetWindow fails for none).
// It lives as long as the commands given it; counting is not needed.
class CWindowSite : public IOleWindow {
public:
    explicit CWindowSite(HWND window) : m_window(window) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND* window) override
    {
        *window = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    HWND m_window;
};

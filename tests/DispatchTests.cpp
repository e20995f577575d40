// Menu commands as the shell runs them: a real handler builds its menu from the shell's own data
// object and the user's settings, then InvokeCommand runs the chosen offset on real files, the
// real clipboard; the programs it would start are recorded instead of run.
#include <gtest/gtest.h>
#include "ComObject.h"
#include "DialogWatcher.h"
#include "InfoSheet.h"
#include "MenuHandler.h"
#include "ProgramStarter.h"
#include "TestSupport.h"
#include <winioctl.h>
#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

const DWORD kAttributeBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

void WriteSettings(DWORD options, const std::wstring& quickExts)
{
    StoreSettings(options, quickExts.c_str());
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kValueMultipleSelections);
}

// A handler that was initialised and built its menu for the files, as the shell does it.
class Handler {
public:
    explicit Handler(const std::vector<std::wstring>& paths) : Handler(ShellDataObject(paths)) {}
    explicit Handler(CComPtr<IDataObject> selection)
    {
        EXPECT_EQ(S_OK, (CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, m_menu.ReceiveVoid())));
        CComPtr<IShellExtInit> init;
        EXPECT_EQ(S_OK, m_menu.QueryInterface(IID_IShellExtInit, init));
        EXPECT_EQ(S_OK, init->Initialize(nullptr, selection, nullptr));
        m_popup.Attach(CreatePopupMenu());
        EXPECT_TRUE(SUCCEEDED(m_menu->QueryContextMenu(m_popup, 0, 100, 0x7FFF, CMF_NORMAL)));
    }

    HRESULT Invoke(UINT offset, HWND owner = nullptr)
    {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.hwnd = owner;
        info.lpVerb = MAKEINTRESOURCEA(offset);
        info.nShow = SW_SHOWNORMAL;
        return m_menu->InvokeCommand(&info);
    }
    HRESULT InvokeRecord(CMINVOKECOMMANDINFO* info) { return m_menu->InvokeCommand(info); }
    HRESULT InvokeVerb(const char* verb)
    {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = verb;
        return m_menu->InvokeCommand(&info);
    }

private:
    CComPtr<IContextMenu> m_menu;
    CMenuHandle m_popup;
};

std::string Content(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<ProgramLaunch> g_launches;

void RecordLaunch(const ProgramLaunch& launch)
{
    g_launches.push_back(launch);
}

// Records what the commands would start while it lives.
class Recorder {
public:
    Recorder() : m_previous(SetProgramStarter(&RecordLaunch)) { g_launches.clear(); }
    ~Recorder() { SetProgramStarter(m_previous); }
    const std::vector<ProgramLaunch>& Launches() const { return g_launches; }

private:
    ProgramStarter m_previous;
};

std::wstring InFolder(UINT (WINAPI* folderOf)(LPWSTR, UINT), const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    folderOf(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

class Dispatch : public testing::Test {
protected:
    void SetUp() override
    {
        WriteSettings(DefaultOptions, L"doc;md");
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    void TearDown() override { ClearSettings(); }

    CTempDir dir{ L"dispatch" };
    std::wstring folder = dir / L"My Files";
    CDialogWatcher dialogs;
};

TEST_F(Dispatch, StringVerbsAndOffsetsPastTheTableFail)
{
    std::wstring file = dir.MakeFile(L"My Files\\a.txt");
    Handler handler({ file });
    EXPECT_EQ(E_FAIL, handler.InvokeVerb("open"));
    EXPECT_EQ(E_FAIL, handler.InvokeVerb("properties"));
    EXPECT_EQ(E_FAIL, handler.Invoke(56));
    EXPECT_EQ(E_FAIL, handler.Invoke(57));
    EXPECT_EQ(E_FAIL, handler.Invoke(0xFFFF));
    EXPECT_EQ(S_OK, handler.Invoke(12));  // the size line runs nothing
    EXPECT_TRUE(Exists(file));

    // A verb string whose address has zero in bits 16 to 31 is still a string, not offset 0x0000.
    void* page = nullptr;
    for (ULONG_PTR base = 0x100000000ull; !page && base < 0x10000000000ull; base += 0x100000000ull)
        page = VirtualAlloc(reinterpret_cast<void*>(base), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(nullptr, page);
    ASSERT_EQ(0u, HIWORD(reinterpret_cast<ULONG_PTR>(page)));
    strcpy(static_cast<char*>(page), "open");
    EXPECT_EQ(E_FAIL, handler.InvokeVerb(static_cast<const char*>(page)));
    VirtualFree(page, 0, MEM_RELEASE);
}

// Records that end where readable memory ends: a field read beyond cbSize faults.
TEST_F(Dispatch, TheRecordIsReadOnlyAsFarAsItsSizeAndTheWideVerbOnlyFromAnExtendedOne)
{
    std::wstring file = dir.MakeFile(L"My Files\\a.txt");
    Handler handler({ file });
    EXPECT_EQ(E_INVALIDARG, handler.InvokeRecord(nullptr));
    for (DWORD size = 0; size < sizeof(CMINVOKECOMMANDINFO); ++size) {
        CPageEndBuffer record(std::max<size_t>(size, sizeof(DWORD)));
        *record.As<DWORD>() = size;
        EXPECT_EQ(E_INVALIDARG, handler.InvokeRecord(record.As<CMINVOKECOMMANDINFO>())) << size;
    }
    const LPCSTR kReadOnly = MAKEINTRESOURCEA(26);
    const LPCWSTR kReadOnlyW = MAKEINTRESOURCEW(26);
    struct Case { DWORD size, mask; LPCSTR verb; LPCWSTR verbW; HRESULT result; bool toggles; } cases[] = {
        // The plain record with the wide flag: the wide verb lies beyond it and is not read.
        { sizeof(CMINVOKECOMMANDINFO), CMIC_MASK_UNICODE, kReadOnly, nullptr, S_OK, true },
        { sizeof(CMINVOKECOMMANDINFO) + 8, CMIC_MASK_UNICODE, kReadOnly, nullptr, S_OK, true },
        // The extended record: the wide verb when the flag says so, else the 8-bit one.
        { sizeof(CMINVOKECOMMANDINFOEX), CMIC_MASK_UNICODE, "open", kReadOnlyW, S_OK, true },
        { sizeof(CMINVOKECOMMANDINFOEX), CMIC_MASK_UNICODE, kReadOnly, L"open", E_FAIL, false },
        { sizeof(CMINVOKECOMMANDINFOEX), 0, kReadOnly, L"open", S_OK, true },
        { sizeof(CMINVOKECOMMANDINFOEX), CMIC_MASK_UNICODE, kReadOnly, MAKEINTRESOURCEW(57), E_FAIL, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " mask " + std::to_string(c.mask));
        CPageEndBuffer record(c.size);
        auto* info = record.As<CMINVOKECOMMANDINFOEX>();
        info->cbSize = c.size;
        info->fMask = c.mask;
        info->lpVerb = c.verb;
        if (c.size >= sizeof(CMINVOKECOMMANDINFOEX))
            info->lpVerbW = c.verbW;
        DWORD before = GetFileAttributesW(file.c_str());
        EXPECT_EQ(c.result, handler.InvokeRecord(reinterpret_cast<CMINVOKECOMMANDINFO*>(info)));
        EXPECT_EQ(c.toggles, ((before ^ GetFileAttributesW(file.c_str())) & FILE_ATTRIBUTE_READONLY) != 0);
    }
}

TEST_F(Dispatch, AttributeItemsToggleExactlyOneFile)
{
    std::wstring file = dir.MakeFile(L"My Files\\a.txt");
    Handler handler({ file });
    EXPECT_EQ(S_OK, handler.Invoke(26));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY), GetFileAttributesW(file.c_str()) & kAttributeBits);
    EXPECT_EQ(S_OK, handler.Invoke(26));
    EXPECT_EQ(0u, GetFileAttributesW(file.c_str()) & kAttributeBits);
    EXPECT_EQ(S_OK, handler.Invoke(27));
    EXPECT_EQ(S_OK, handler.Invoke(28));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), GetFileAttributesW(file.c_str()) & kAttributeBits);

    // Compressed and Temporary are shown only.
    DWORD before = GetFileAttributesW(file.c_str());
    EXPECT_EQ(S_OK, handler.Invoke(29));
    EXPECT_EQ(S_OK, handler.Invoke(30));
    EXPECT_EQ(before, GetFileAttributesW(file.c_str()));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Dispatch, AttributeItemsChangeNothingForTwoFiles)
{
    std::wstring readOnly = dir.MakeFile(L"My Files\\a.txt");
    std::wstring plain = dir.MakeFile(L"My Files\\b.txt");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    Handler handler({ readOnly, plain });
    for (UINT offset : { 25u, 26u, 27u, 28u, 31u })
        EXPECT_EQ(S_OK, handler.Invoke(offset));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY), GetFileAttributesW(readOnly.c_str()) & kAttributeBits);
    EXPECT_EQ(0u, GetFileAttributesW(plain.c_str()) & kAttributeBits);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool Compress(const std::wstring& path)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    USHORT format = COMPRESSION_FORMAT_DEFAULT;
    DWORD got = 0;
    return DeviceIoControl(file, FSCTL_SET_COMPRESSION, &format, sizeof(format), nullptr, 0, &got, nullptr)
        && (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_COMPRESSED);
}

bool ArchiveCanBeCleared(const CTempDir& dir)
{
    std::wstring probe = dir.MakeFile(L"archive-probe");
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    bool cleared = !(GetFileAttributesW(probe.c_str()) & FILE_ATTRIBUTE_ARCHIVE);
    DeleteFileW(probe.c_str());
    return cleared;
}

TEST_F(Dispatch, ClearAllClearsTheFourBitsAndKeepsTheOthers)
{
    std::wstring file = dir.MakeFile(L"My Files\\a.txt");
    // Wine can neither compress a file (FSCTL_SET_COMPRESSION answers ERROR_NOT_SUPPORTED) nor
    // keep any bit beyond read-only, hidden, system and the archive bit it always reports.
    bool compressed = Compress(file);
    SetFileAttributesW(file.c_str(), kAttributeBits | FILE_ATTRIBUTE_ARCHIVE);
    Handler handler({ file });
    EXPECT_EQ(S_OK, handler.Invoke(31));
    DWORD after = GetFileAttributesW(file.c_str());
    EXPECT_EQ(0u, after & kAttributeBits);
    if (ArchiveCanBeCleared(dir)) {
        EXPECT_EQ(0u, after & FILE_ATTRIBUTE_ARCHIVE);
    }
    if (compressed) {
        EXPECT_TRUE(after & FILE_ATTRIBUTE_COMPRESSED);
    }
}

TEST_F(Dispatch, AQuickExtensionRenamesTheFileAndTheRecordFollows)
{
    std::wstring a = dir.MakeFile(L"My Files\\a.txt", "a");
    Handler handler({ a });
    EXPECT_EQ(S_OK, handler.Invoke(47));
    EXPECT_EQ("a", Content(folder + L"\\a.md"));
    EXPECT_FALSE(Exists(a));
    // The handler's record follows the file: the next command renames it again.
    EXPECT_EQ(S_OK, handler.Invoke(46));
    EXPECT_EQ("a", Content(folder + L"\\a.doc"));
    EXPECT_EQ(L"", dialogs.Describe());
}

TEST_F(Dispatch, SeveralFilesGetTheSimpleMenuWhoseOnlyCommandIsTheSheet)
{
    Recorder recorder;
    std::wstring a = dir.MakeFile(L"My Files\\a.txt", "a");
    std::wstring b = dir.MakeFile(L"My Files\\b.txt", "b");
    Handler handler({ a, b });
    PutOnClipboard(L"sentinel");
    for (UINT offset : { 2u, 17u, 18u, 46u, 47u })
        EXPECT_EQ(S_OK, handler.Invoke(offset));
    EXPECT_EQ("a", Content(a));
    EXPECT_EQ("b", Content(b));
    EXPECT_EQ(L"sentinel", ClipboardText());
    EXPECT_TRUE(recorder.Launches().empty());
}

TEST_F(Dispatch, QuickEntriesWithoutAnItemAreNoCommand)
{
    WriteSettings(DefaultOptions, L"e1;e2;e3;e4;e5;e6;e7;e8;e9;e10;e11;e12");
    std::wstring file = dir.MakeFile(L"My Files\\a.txt");
    Handler handler({ file });
    // Offset 56 would be the eleventh entry, which holds no text: it is past the table and must not
    // strip the extension.
    EXPECT_EQ(E_FAIL, handler.Invoke(56));
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(S_OK, handler.Invoke(55));
    EXPECT_TRUE(Exists(folder + L"\\a.e10"));
}

TEST_F(Dispatch, AQuickExtensionWithASeparatorMovesNothing)
{
    WriteSettings(DefaultOptions, L"x\\..\\y;a/b");
    std::wstring file = dir.MakeFile(L"My Files\\a.txt", "keep");
    Handler handler({ file });
    EXPECT_EQ(S_OK, handler.Invoke(46));
    EXPECT_EQ(S_OK, handler.Invoke(47));
    EXPECT_EQ("keep", Content(file));
    EXPECT_FALSE(Exists(dir / L"y"));
    EXPECT_FALSE(Exists(folder + L"\\a.a"));
}

// A quick extension from the settings that would make the name longer than 255 characters renames
// nothing and says why.
TEST_F(Dispatch, AQuickExtensionTooLongForTheNameRenamesNothing)
{
    WriteSettings(DefaultOptions, std::wstring(300, L'e') + L";" + std::wstring(251, L'f'));
    std::wstring file = dir.MakeFile(L"My Files\\a.txt", "keep");
    Handler handler({ file });
    EXPECT_EQ(S_OK, handler.Invoke(46));
    EXPECT_EQ("keep", Content(file));
    ASSERT_EQ(1u, dialogs.Seen().size()) << dialogs.Describe();
    EXPECT_NE(std::wstring::npos, dialogs.Seen()[0].text.find(L"255")) << dialogs.Describe();
    EXPECT_EQ(S_OK, handler.Invoke(47));
    EXPECT_EQ("keep", Content(L"\\\\?\\" + folder + L"\\a." + std::wstring(251, L'f')));
}

// Both programs by full path, never through the search order, with the host's handles kept back.
TEST_F(Dispatch, ProgramsStartByFullPathWithTheirPathsQuoted)
{
    Recorder recorder;
    std::wstring first = dir.MakeFile(L"My Files\\first, file.txt");
    std::wstring target = dir.MakeFile(L"My Files\\target file.txt");
    std::wstring link = folder + L"\\a link.lnk";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"", folder));
    Handler handler({ first });
    EXPECT_EQ(S_OK, handler.Invoke(2));
    EXPECT_EQ(S_OK, handler.Invoke(11));
    EXPECT_EQ(S_OK, handler.Invoke(17));
    Handler shortcut({ link });
    EXPECT_EQ(S_OK, shortcut.Invoke(36));

    const std::wstring notepad = InFolder(&GetSystemDirectoryW, L"notepad.exe");
    const std::wstring explorer = InFolder(&GetSystemWindowsDirectoryW, L"explorer.exe");
    struct Expected { std::wstring application, commandLine; DWORD flags; } expected[] = {
        { notepad, L"\"notepad.exe\" \"" + first + L"\"", 0 },
        { notepad, L"\"notepad.exe\" \"" + first + L"\"", 0 },
        { explorer, L"explorer.exe /select,\"" + first + L"\"", STARTF_FORCEONFEEDBACK },
        { explorer, L"explorer.exe /select,\"" + target + L"\"", STARTF_FORCEONFEEDBACK },
    };
    ASSERT_EQ(4u, recorder.Launches().size());
    for (size_t i = 0; i < 4; ++i) {
        const ProgramLaunch& launch = recorder.Launches()[i];
        EXPECT_EQ(expected[i].application, launch.application.GetString()) << i;
        EXPECT_EQ(expected[i].commandLine, launch.commandLine.GetString()) << i;
        EXPECT_EQ(expected[i].flags, launch.startFlags) << i;
        EXPECT_FALSE(launch.inheritHandles) << i;
    }
}

TEST_F(Dispatch, CopyItemsPutTheFirstFilesDetailsOnTheClipboard)
{
    RegisterFileType(L".mvcopy", L"Morvane.CopyTest", L"Morvane Copy Test", false);
    std::wstring file = dir.MakeFile(L"My Files\\a long report name.mvcopy", "12345");
    Handler handler({ file });
    WIN32_FIND_DATAW found;
    CFindHandle(FindFirstFileW(file.c_str(), &found));
    wchar_t shortPath[MAX_PATH] = {};
    GetShortPathNameW(file.c_str(), shortPath, MAX_PATH);
    std::wstring shortName = found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName;
    for (wchar_t& c : shortName)
        c = towupper(c);

    const std::wstring expected[] = { L".mvcopy", L"a long report name", file, shortName, shortPath, L"5",
                                      L"Morvane Copy Test" };
    for (UINT item = 0; item < 7; ++item) {
        PutOnClipboard(L"sentinel");
        EXPECT_EQ(S_OK, handler.Invoke(18 + item));
        EXPECT_EQ(expected[item], ClipboardText()) << item;
    }
    DeleteTree(HKEY_CLASSES_ROOT, L".mvcopy");
    DeleteTree(HKEY_CLASSES_ROOT, L"Morvane.CopyTest");
}

TEST_F(Dispatch, CopiesOfAHugeFileAndOfAFileWithoutExtension)
{
    std::wstring huge = folder + L"\\huge.bin";
    ASSERT_TRUE(CreateSparseFile(huge, 5ULL << 30));
    Handler hugeHandler({ huge });
    EXPECT_EQ(S_OK, hugeHandler.Invoke(23));
    EXPECT_EQ(L"5368709120", ClipboardText());

    std::wstring readme = dir.MakeFile(L"My Files\\README");
    Handler handler({ readme });
    PutOnClipboard(L"sentinel");
    EXPECT_EQ(S_OK, handler.Invoke(18));
    EXPECT_EQ(L"", ClipboardText());
    EXPECT_EQ(S_OK, handler.Invoke(19));
    EXPECT_EQ(L"README", ClipboardText());
    EXPECT_EQ(S_OK, handler.Invoke(24));
    EXPECT_EQ(L"No association", ClipboardText());
}

// The block is sized to the text: nothing is cut, whoever opened the clipboard.
TEST_F(Dispatch, LongTextsReachTheClipboardWhole)
{
    std::wstring longName(700, L'T');
    RegisterFileType(L".mvlong", L"Morvane.LongType", longName, false);
    std::wstring file = dir.MakeFile(L"My Files\\a.mvlong");
    std::wstring deep = L"\\\\?\\" + folder;
    while (deep.size() < 700) {
        deep += L"\\" + std::wstring(60, L'd');
        CreateDirectoryW(deep.c_str(), nullptr);
    }
    std::wstring longPath = deep.substr(4) + L"\\" + std::wstring(829 - deep.size() + 4 - 1, L'f');
    ASSERT_EQ(829u, longPath.size());
    CFileHandle(CreateFileW((L"\\\\?\\" + longPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        Handler handler({ file });
        EXPECT_EQ(S_OK, handler.Invoke(24, owner));
        EXPECT_EQ(longName, ClipboardText());
        EXPECT_EQ(owner, GetClipboardOwner());
    }
    // The shell's own data object cannot name a path this long here: a plain drop list does.
    Handler handler(HdropDataObject({ longPath }));
    EXPECT_EQ(S_OK, handler.Invoke(20));
    EXPECT_EQ(longPath, ClipboardText());
    DestroyWindow(owner);
    RemoveTree(folder + L"\\" + std::wstring(60, L'd'));
    DeleteTree(HKEY_CLASSES_ROOT, L".mvlong");
    DeleteTree(HKEY_CLASSES_ROOT, L"Morvane.LongType");
}

struct SheetCall {
    InfoPage page;
    HWND owner;
};
std::vector<SheetCall> g_sheetCalls;

void RecordSheet(Parameters&, InfoPage page, HWND owner)
{
    g_sheetCalls.push_back({ page, owner });
}

TEST_F(Dispatch, DialogCommandsOpenTheSheetOnTheirPage)
{
    InfoSheetPresenter previous = SetInfoSheetPresenter(&RecordSheet);
    g_sheetCalls.clear();
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    std::wstring target = dir.MakeFile(L"My Files\\target.txt");
    std::wstring link = folder + L"\\a link.lnk";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"", folder));
    {
        Handler handler({ link });
        for (UINT offset : { 1u, 32u, 37u, 44u, 45u, 43u })
            EXPECT_EQ(S_OK, handler.Invoke(offset, owner));
        // Offsets that lead nowhere in this menu open nothing.
        for (UINT offset : { 0u, 33u, 35u })
            EXPECT_EQ(S_OK, handler.Invoke(offset, owner));
    }
    {
        // The simple menu of two files: its one item opens the Type page.
        Handler handler({ target, link });
        EXPECT_EQ(S_OK, handler.Invoke(0, owner));
    }
    SetInfoSheetPresenter(previous);
    DestroyWindow(owner);
    ASSERT_EQ(7u, g_sheetCalls.size());
    const InfoPage expected[] = { InfoPage::Type, InfoPage::Attributes, InfoPage::Shortcut, InfoPage::Options,
                                  InfoPage::About, InfoPage::Summary, InfoPage::Type };
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(int(expected[i]), int(g_sheetCalls[i].page)) << i;
        EXPECT_EQ(owner, g_sheetCalls[i].owner) << i;
    }
}

}

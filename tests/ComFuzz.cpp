// Random call sequences against the context-menu handler and the Windows 11 command tree, with the inputs a careless or hostile
// host hands over: short and oversized records, string and integer verbs, every offset, request
// type and buffer size, identifier ranges that do not fit, handles that are no menus, malformed
// file lists. Every buffer the handler receives ends where an inaccessible page begins, so a read
// or write past it faults; a watchdog ends the run when a call does not return. The seed is fixed:
// a failure names the sequence and the call, and rerunning replays them.
#include <gtest/gtest.h>
#include "CommandIds.h"
#include "ComObject.h"
#include "DialogWatcher.h"
#include "ExplorerCommand.h"
#include "FuzzGuard.h"
#include "PrivateUserKey.h"
#include "InfoSheet.h"
#include "MenuHandler.h"
#include "ProgramStarter.h"
#include "TestSupport.h"
#include <functional>
#include <memory>
#include <random>

namespace {

// The fuzz writes the user's settings under a key of its own, so other programs run beside it.
testing::Environment* const g_privateUser = testing::AddGlobalTestEnvironment(new CPrivateUserKey(L"comfuzz"));

const int kSequences = 3000;
const int kMaxCallsPerSequence = 12;
const int kSequencesPerFileSet = 50;
const DWORD kWatchdogMs = 30000;

int g_sequence = -1;
int g_call = 0;
// How often the calls got past the handler's checks, so that a run shows it reached the real work.
long g_menusBuilt = 0, g_textsGiven = 0, g_commandsRun = 0;

// Names the call about to be made, for the guard's report of a crash or a hang.
void Calling(const char* name)
{
    CFuzzGuard::At(g_sequence, g_call, name);
}

void NoSheet(Parameters&, InfoPage, HWND) {}
long g_programsStarted = 0;
void NoProgram(const ProgramLaunch&) { g_programsStarted++; }

// The files a sequence selects from; remade now and then, since renames and toggles change them.
class FileSet {
public:
    FileSet()
    {
        m_paths.push_back(m_dir.MakeFile(L"plain.txt", "some text"));
        m_paths.push_back(m_dir.MakeFile(L"no extension", "x"));
        m_paths.push_back(m_dir / L"report.doc");
        CreateCompoundDocument(m_paths.back(), { "Title", "Subject", "Author", "Keywords", "Comments" });
        m_paths.push_back(m_dir / L"target.lnk");
        CreateShortcut(m_paths.back(), m_paths[0], L"/a /b", m_dir.Path(), L"a shortcut");
        m_paths.push_back(m_dir.MakeFile(std::wstring(200, L'n') + L".longext", ""));
        m_paths.push_back(m_dir.MakeFile(L"read only.md", "r"));
        SetFileAttributesW(m_paths.back().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        m_paths.push_back(m_dir / L"gone.txt");  // never made
    }
    const std::vector<std::wstring>& Paths() const { return m_paths; }

private:
    CTempDir m_dir{ L"fuzz" };
    std::vector<std::wstring> m_paths;
};

// Walks a menu and its popups; false when an item's identifier lies outside [first, last].
bool IdentifiersWithin(HMENU menu, UINT first, UINT last, int depth = 0)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        MENUITEMINFOW item = { sizeof(item) };
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoW(menu, i, TRUE, &item))
            continue;
        if (item.hSubMenu) {
            if (depth < 4 && !IdentifiersWithin(item.hSubMenu, first, last, depth + 1))
                return false;
            continue;
        }
        if (item.fType & MFT_SEPARATOR)
            continue;
        bool shellOwn = item.wID == 1 || item.wID == 2;
        if (!shellOwn && (item.wID < first || item.wID > last))
            return false;
    }
    return true;
}

class Fuzzer {
public:
    Fuzzer(std::mt19937& random, const FileSet& files, HWND window)
        : m_random(random), m_files(files), m_window(window)
    {
    }

    void RunSequence()
    {
        CComPtr<IContextMenu> menu;
        ASSERT_EQ(S_OK, (CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, menu.ReceiveVoid())));
        int calls = 1 + Pick(kMaxCallsPerSequence);
        for (int i = 0; i < calls && !testing::Test::HasFatalFailure(); i++) {
            g_call = i;
            switch (Pick(8)) {
            case 0: case 1: Initialize(menu); break;
            case 2: case 3: QueryContextMenu(menu); break;
            case 4: case 5: GetCommandString(menu); break;
            default: InvokeCommand(menu); break;
            }
            m_calls++;
        }
    }
    long Calls() const { return m_calls; }

private:
    int Pick(int count) { return int(m_random() % unsigned(count)); }
    bool Chance(int percent) { return Pick(100) < percent; }

    std::vector<std::wstring> SomePaths()
    {
        const std::vector<std::wstring>& all = m_files.Paths();
        std::vector<std::wstring> chosen;
        int count = Chance(70) ? 1 : 1 + Pick(int(all.size()));
        for (int i = 0; i < count; i++)
            chosen.push_back(all[Pick(int(all.size()))]);
        return chosen;
    }

    // A CF_HDROP block cut, bent or overrun in one of the ways a broken source produces.
    std::string MalformedBlock()
    {
        std::string block = DropFilesBlock(SomePaths());
        switch (Pick(5)) {
        case 0: block.resize(Pick(int(block.size()))); break;                             // cut anywhere
        case 1: reinterpret_cast<DROPFILES*>(&block[0])->pFiles = 0x7FFFFFF0; break;        // offset past the end
        case 2: block.resize(block.size() - 4); break;                                      // no closing NULs
        case 3: reinterpret_cast<DROPFILES*>(&block[0])->fWide = FALSE; break;              // read as 8-bit
        default:
            for (size_t i = sizeof(DROPFILES); i < block.size(); i++)
                if (Chance(10))
                    block[i] = char(m_random());
        }
        return block;
    }

    void Initialize(IContextMenu* menu)
    {
        Calling("Initialize");
        CComPtr<IShellExtInit> init;
        ASSERT_EQ(S_OK, menu->QueryInterface(IID_IShellExtInit, init.ReceiveVoid()));
        CComPtr<IDataObject> data;
        switch (Pick(5)) {
        case 0: case 1: data = ShellDataObject(SomePaths()); break;
        case 2: data = HdropDataObject(SomePaths()); break;
        case 3: data = Chance(50) ? EmptyDataObject() : BlockDataObject(MalformedBlock()); break;
        default: break;  // no data object at all
        }
        EXPECT_EQ(S_OK, init->Initialize(nullptr, data, nullptr));
    }

    void QueryContextMenu(IContextMenu* menu)
    {
        Calling("QueryContextMenu");
        static const UINT kFlags[] = { CMF_NORMAL,    CMF_DEFAULTONLY, CMF_VERBSONLY, CMF_EXPLORE,   CMF_NOVERBS,
                                       CMF_CANRENAME, CMF_NODEFAULT,   CMF_EXTENDEDVERBS, CMF_ASYNCVERBSTATE,
                                       CMF_OPTIMIZEFORINVOKE, CMF_SYNCCASCADEMENU, CMF_DONOTPICKDEFAULT, 0xFFFFFFFF };
        UINT flags = kFlags[Pick(ARRAYSIZE(kFlags))];
        if (Chance(30))
            flags |= m_random() & 0xFFFF0000;
        UINT first = Chance(80) ? 100 + Pick(30000) : UINT(m_random());
        UINT last;
        switch (Pick(4)) {
        case 0: last = first + Pick(60); break;  // often too few
        case 1: last = first > 0 ? first - 1 - Pick(int(first < 10 ? first : 10)) : 0; break;
        case 2: last = 0xFFFF; break;
        default: last = first + 55 + Pick(500); break;
        }
        UINT index = Chance(80) ? UINT(Pick(4)) : UINT(m_random());

        CMenuHandle popup(CreatePopupMenu());
        AppendMenuW(popup, MF_STRING, 1, L"&Open");
        AppendMenuW(popup, MF_STRING, 2, L"P&roperties");
        int before = GetMenuItemCount(popup);
        HMENU target = popup;
        int kind = Pick(10);
        if (kind == 0)
            target = nullptr;
        else if (kind == 1)
            target = reinterpret_cast<HMENU>(m_window);  // a handle, but no menu
        HRESULT result = menu->QueryContextMenu(target, index, first, last, flags);
        if (SUCCEEDED(result)) {
            UINT claimed = HRESULT_CODE(result);
            EXPECT_TRUE(claimed == 0 || claimed == UINT(kCommandCount)) << claimed;
            if (claimed == 0) {
                EXPECT_EQ(before, GetMenuItemCount(popup)) << "items inserted, none claimed";
            }
            else {
                g_menusBuilt++;
                EXPECT_LE(UINT64(first) + kCommandCount - 1, UINT64(last)) << "claimed more than the range";
            }
        }
        EXPECT_TRUE(IdentifiersWithin(popup, first, last)) << "an identifier outside " << first << ".." << last;
    }

    void GetCommandString(IContextMenu* menu)
    {
        Calling("GetCommandString");
        static const UINT kTypes[] = { GCS_VERBA, GCS_HELPTEXTA, GCS_VALIDATEA, GCS_VERBW, GCS_HELPTEXTW,
                                       GCS_VALIDATEW, GCS_VERBICONW, GCS_UNICODE, 3, 7, 0xFFFFFFFF };
        UINT type = kTypes[Pick(ARRAYSIZE(kTypes))];
        UINT_PTR offset = Chance(85) ? UINT_PTR(Pick(64)) : UINT_PTR(m_random()) << (Chance(50) ? 32 : 0);
        static const UINT kSizes[] = { 0, 1, 2, 3, 8, 40, 79, 80, 260, 1024 };
        UINT chars = kSizes[Pick(ARRAYSIZE(kSizes))];
        bool wide = (type & GCS_UNICODE) != 0;
        size_t bytes = size_t(chars) * (wide ? sizeof(WCHAR) : 1);
        CPageEndBuffer buffer(bytes ? bytes : 1);
        memset(buffer.Get(), 0x5A, bytes ? bytes : 1);
        CHAR* name = Chance(5) ? nullptr : static_cast<CHAR*>(bytes ? buffer.Get() : nullptr);
        HRESULT result = menu->GetCommandString(offset, type, nullptr, name, chars);
        if (offset >= UINT_PTR(kCommandCount)) {
            EXPECT_TRUE(FAILED(result)) << "offset " << offset << " type " << type;
        }
        bool text = type == GCS_HELPTEXTA || type == GCS_HELPTEXTW;
        if (result == S_OK && text && name) {
            g_textsGiven++;
            ASSERT_GT(chars, 0u);
            bool terminated = false;
            for (UINT i = 0; i < chars && !terminated; i++)
                terminated = wide ? reinterpret_cast<WCHAR*>(name)[i] == 0 : name[i] == 0;
            EXPECT_TRUE(terminated) << "help text of " << offset << " not ended within " << chars;
        }
    }

    // A verb as a string at the end of its page: an 8-bit or a wide one.
    template <class Char> Char* StringVerb(std::unique_ptr<CPageEndBuffer>& holder, const Char* text)
    {
        size_t length = 0;
        while (text[length])
            length++;
        holder.reset(new CPageEndBuffer((length + 1) * sizeof(Char)));
        memcpy(holder->Get(), text, (length + 1) * sizeof(Char));
        return holder->As<Char>();
    }

    void InvokeCommand(IContextMenu* menu)
    {
        Calling("InvokeCommand");
        static const size_t kSizes[] = { 0, 4, 20, sizeof(CMINVOKECOMMANDINFO) - 1, sizeof(CMINVOKECOMMANDINFO),
                                         sizeof(CMINVOKECOMMANDINFO), sizeof(CMINVOKECOMMANDINFOEX) - 8,
                                         sizeof(CMINVOKECOMMANDINFOEX), sizeof(CMINVOKECOMMANDINFOEX),
                                         sizeof(CMINVOKECOMMANDINFOEX) + 32 };
        size_t size = kSizes[Pick(ARRAYSIZE(kSizes))];
        // The record is only as large as it says it is (at least its size field).
        size_t held = size < sizeof(DWORD) ? sizeof(DWORD) : size;
        CPageEndBuffer record(held);
        memset(record.Get(), 0, held);
        CMINVOKECOMMANDINFOEX full = {};
        full.cbSize = DWORD(size);
        full.hwnd = Chance(50) ? m_window : nullptr;
        full.nShow = SW_SHOWNORMAL;

        std::unique_ptr<CPageEndBuffer> verbA, verbW;
        UINT offset = Chance(90) ? UINT(Pick(60)) : UINT(m_random() & 0xFFFF);
        switch (Pick(6)) {
        case 0: full.lpVerb = StringVerb(verbA, "open"); break;
        case 1: full.lpVerb = StringVerb(verbA, "\x01\x7f" "bogus verb"); break;
        case 2:
            full.fMask = CMIC_MASK_UNICODE;
            full.lpVerb = MAKEINTRESOURCEA(offset);
            full.lpVerbW = Chance(50) ? StringVerb(verbW, L"properties") : MAKEINTRESOURCEW(offset);
            break;
        default: full.lpVerb = MAKEINTRESOURCEA(offset); break;
        }
        if (Chance(20))
            full.fMask |= m_random();
        memcpy(record.Get(), &full, held < sizeof(full) ? held : sizeof(full));
        HRESULT result = menu->InvokeCommand(record.As<CMINVOKECOMMANDINFO>());
        if (result == S_OK)
            g_commandsRun++;
        if (size < sizeof(CMINVOKECOMMANDINFO)) {
            EXPECT_EQ(E_INVALIDARG, result) << "record of " << size << " bytes";
        }
    }

    std::mt19937& m_random;
    const FileSet& m_files;
    HWND m_window;
    long m_calls = 0;
};

// Settings the menu reads, chosen at random: the options, and quick extensions of every shape.
void RandomSettings(std::mt19937& random)
{
    static const wchar_t* const kQuickExts[] = { L"", L";", L";doc;xls", L"txt;;bak;", L"a;b;c;d;e;f;g;h;i;j;k;l;m",
                                                 L"\x00e9t\x00e9;\xd83d\xde00;\xd800", L"..;.;con;nul;a/b;a\\b" };
    DWORD options = random() % 4 == 0 ? DWORD(random()) : DWORD(DefaultOptions);
    StoreSettings(options, kQuickExts[random() % ARRAYSIZE(kQuickExts)]);
}

// What both runs need: sheets and programs replaced by counters, dialogs answered, crashes and
// hangs reported with the sequence, and a host window.
class FuzzHarness {
public:
    ~FuzzHarness()
    {
        SetInfoSheetPresenter(m_previousPresenter);
        SetProgramStarter(m_previousStarter);
        ClearSettings();
    }
    HWND Window() const { return m_window; }
    size_t DialogsAnswered() const { return m_dialogs.Seen().size(); }

    // Runs the sequences, with fresh files and random settings every few; stops at the first
    // failure, naming its sequence. Returns the calls made.
    long Run(std::mt19937& random, int sequences, const std::function<long(const FileSet&)>& runSequence)
    {
        long calls = 0;
        std::unique_ptr<FileSet> files;
        for (int sequence = 0; sequence < sequences && !testing::Test::HasFatalFailure(); sequence++) {
            g_sequence = sequence;
            if (sequence % kSequencesPerFileSet == 0) {
                files.reset();
                files.reset(new FileSet);
                RandomSettings(random);
            }
            calls += runSequence(*files);
            if (testing::Test::HasFailure()) {
                ADD_FAILURE() << "in sequence " << sequence;
                break;
            }
        }
        return calls;
    }

private:
    CFuzzGuard m_guard{ kWatchdogMs };
    CDialogWatcher m_dialogs;  // error messages and the shell's rename prompts get their OK
    InfoSheetPresenter m_previousPresenter = SetInfoSheetPresenter(&NoSheet);
    ProgramStarter m_previousStarter = SetProgramStarter(&NoProgram);
    CWindowHandle m_window{ CreateWindowExW(0, L"STATIC", L"fuzz host", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                            nullptr, nullptr) };
};

TEST(ComFuzz, RandomSequencesNeitherCrashNorHangNorOverrun)
{
    FuzzHarness harness;
    HWND window = harness.Window();
    std::mt19937 random(20261208);
    long calls = harness.Run(random, kSequences, [&](const FileSet& files) {
        Fuzzer fuzzer(random, files, window);
        fuzzer.RunSequence();
        return fuzzer.Calls();
    });
    printf("fuzz: %d sequences, %ld calls: %ld menus built, %ld help texts, %ld commands run, %ld programs started, "
           "%zu dialogs answered\n",
           kSequences, calls, g_menusBuilt, g_textsGiven, g_commandsRun, g_programsStarted, harness.DialogsAnswered());
}

// The command tree as a careless Explorer would drive it: roots, children and enumerators kept
// in a pool and called in random order, with null and empty selections and output arrays, counts
// past the end, clones mid-way and Invoke on every kind of command. Output arrays end where an
// inaccessible page begins.
class CommandFuzzer {
public:
    CommandFuzzer(std::mt19937& random, const FileSet& files) : m_random(random), m_files(files) {}

    void RunSequence()
    {
        m_commands.clear();
        m_enumerators.clear();
        m_items = Items();
        AddRoot();
        int calls = 1 + Pick(3 * kMaxCallsPerSequence);
        for (int i = 0; i < calls && !testing::Test::HasFatalFailure(); i++) {
            g_call = i;
            switch (Pick(12)) {
            case 0: AddRoot(); break;
            case 1: case 2: GetState(); break;
            case 3: Texts(); break;
            case 4: Flags(); break;
            case 5: case 6: Enumerate(); break;
            case 7: case 8: Next(); break;
            case 9: Move(); break;
            case 10: Invoke(); break;
            default: Site(); break;
            }
            m_calls++;
        }
    }
    long Calls() const { return m_calls; }
    static long s_roots, s_fetched, s_invoked, s_refused;

private:
    int Pick(int count) { return int(m_random() % unsigned(count)); }
    bool Chance(int percent) { return Pick(100) < percent; }

    // A selection of the file set, or none at all.
    CComPtr<IShellItemArray> Items()
    {
        CComPtr<IShellItemArray> items;
        if (Chance(15))
            return items;
        const std::vector<std::wstring>& all = m_files.Paths();
        std::vector<PIDLIST_ABSOLUTE> ids;
        for (int i = Chance(70) ? 1 : 1 + Pick(int(all.size())); i > 0; i--)
            if (PIDLIST_ABSOLUTE id = ILCreateFromPathW(all[Pick(int(all.size()))].c_str()))
                ids.push_back(id);
        if (!ids.empty())
            SHCreateShellItemArrayFromIDLists(UINT(ids.size()), const_cast<PCIDLIST_ABSOLUTE*>(ids.data()), &items);
        for (PIDLIST_ABSOLUTE id : ids)
            ILFree(id);
        return items;
    }
    IShellItemArray* SomeItems() { return Chance(80) ? m_items.Get() : nullptr; }
    IExplorerCommand* SomeCommand() { return m_commands[size_t(Pick(int(m_commands.size())))]; }

    void AddRoot()
    {
        Calling("CreateInstance");
        CComPtr<IExplorerCommand> root;
        ASSERT_EQ(S_OK, (CreateComInstance<CExplorerCommand, false>(nullptr, IID_IExplorerCommand, root.ReceiveVoid())));
        Keep(root);
        s_roots++;
    }
    void Keep(IExplorerCommand* command)
    {
        if (m_commands.size() < 32)
            m_commands.push_back(command);
    }

    void GetState()
    {
        Calling("GetState");
        EXPCMDSTATE state = 0x5A5A;
        HRESULT hr = SomeCommand()->GetState(SomeItems(), Chance(50), Chance(5) ? nullptr : &state);
        EXPECT_TRUE(hr == S_OK || hr == E_PENDING || hr == E_POINTER) << std::hex << hr;
        if (hr == S_OK) {
            EXPECT_EQ(0u, state & ~DWORD(ECS_HIDDEN | ECS_DISABLED | ECS_CHECKBOX | ECS_CHECKED)) << state;
        }
    }

    void Texts()
    {
        Calling("texts");
        IExplorerCommand* command = SomeCommand();
        LPWSTR text = reinterpret_cast<LPWSTR>(1);
        LPWSTR* out = Chance(5) ? nullptr : &text;
        HRESULT hr;
        switch (Pick(3)) {
        case 0: hr = command->GetTitle(SomeItems(), out); break;
        case 1: hr = command->GetToolTip(SomeItems(), out); break;
        default: hr = command->GetIcon(SomeItems(), out); break;
        }
        if (!out) {
            EXPECT_EQ(E_POINTER, hr);
            return;
        }
        if (hr == S_OK) {
            ASSERT_NE(nullptr, text);
            EXPECT_LT(wcslen(text), size_t(32768));
        } else {
            EXPECT_EQ(nullptr, text);
        }
        CoTaskMemFree(text);
    }

    void Flags()
    {
        Calling("GetFlags");
        IExplorerCommand* command = SomeCommand();
        EXPCMDFLAGS flags = 0;
        bool null = Chance(5);
        EXPECT_EQ(null ? E_POINTER : S_OK, command->GetFlags(null ? nullptr : &flags));
        GUID name;
        EXPECT_EQ(S_OK, command->GetCanonicalName(&name));
    }

    void Enumerate()
    {
        Calling("EnumSubCommands");
        CComPtr<IEnumExplorerCommand> children;
        HRESULT hr = SomeCommand()->EnumSubCommands(Chance(5) ? nullptr : &children);
        if (hr == S_OK && m_enumerators.size() < 16)
            m_enumerators.push_back(children);
    }

    void Next()
    {
        Calling("Next");
        if (m_enumerators.empty())
            return;
        IEnumExplorerCommand* children = m_enumerators[size_t(Pick(int(m_enumerators.size())))];
        ULONG count = ULONG(Pick(Chance(80) ? 4 : 40));
        CPageEndBuffer slots((count ? count : 1) * sizeof(IExplorerCommand*));
        auto** array = Chance(5) ? nullptr : slots.As<IExplorerCommand*>();
        ULONG fetched = 0xFFFF;
        ULONG* fetchedOut = Chance(50) ? nullptr : &fetched;
        HRESULT hr = children->Next(count, array, fetchedOut);
        if (!array && count > 0) {
            EXPECT_EQ(E_POINTER, hr);
            return;
        }
        ASSERT_TRUE(hr == S_OK || hr == S_FALSE) << std::hex << hr;
        // Without a count the slots say what came: the fetched ones first, null after them.
        ULONG got = fetched;
        if (!fetchedOut)
            for (got = 0; got < count && array[got]; got++) {
            }
        EXPECT_EQ(hr == S_OK, got == count);
        for (ULONG i = got; i < count; i++)
            EXPECT_EQ(nullptr, array[i]);
        for (ULONG i = 0; i < got; i++) {
            ASSERT_NE(nullptr, array[i]);
            Keep(array[i]);
            array[i]->Release();
            s_fetched++;
        }
    }

    void Move()
    {
        Calling("Skip/Reset/Clone");
        if (m_enumerators.empty())
            return;
        IEnumExplorerCommand* children = m_enumerators[size_t(Pick(int(m_enumerators.size())))];
        switch (Pick(3)) {
        case 0: {
            HRESULT hr = children->Skip(Chance(80) ? ULONG(Pick(6)) : ULONG(m_random()));
            EXPECT_TRUE(hr == S_OK || hr == S_FALSE);
            break;
        }
        case 1: EXPECT_EQ(S_OK, children->Reset()); break;
        default: {
            CComPtr<IEnumExplorerCommand> clone;
            EXPECT_EQ(S_OK, children->Clone(&clone));
            if (clone && m_enumerators.size() < 16)
                m_enumerators.push_back(clone);
        }
        }
    }

    void Invoke()
    {
        Calling("Invoke");
        HRESULT hr = SomeCommand()->Invoke(SomeItems(), nullptr);
        EXPECT_TRUE(hr == S_OK || hr == CExplorerCommand::kNotACommand || hr == CExplorerCommand::kUnavailable)
            << std::hex << hr;
        (hr == S_OK ? s_invoked : s_refused)++;
    }

    // No site, one without a window (the first-level menu's), the classic menu's with its window,
    // and one whose window is gone.
    void Site()
    {
        Calling("SetSite");
        CComPtr<IObjectWithSite> site;
        ASSERT_EQ(S_OK, SomeCommand()->QueryInterface(IID_IObjectWithSite, site.ReceiveVoid()));
        IUnknown* given = nullptr;
        switch (Pick(4)) {
        case 0: given = m_items.Get(); break;
        case 1: given = &m_classicMenu; break;
        case 2: given = &m_closedWindow; break;
        }
        EXPECT_EQ(S_OK, site->SetSite(given));
        CComPtr<IUnknown> back;
        site->GetSite(IID_IUnknown, back.ReceiveVoid());
    }

    // The sites outlive every command of the fuzzer.
    std::mt19937& m_random;
    const FileSet& m_files;
    CWindowSite m_classicMenu{ GetDesktopWindow() };
    CWindowSite m_closedWindow{ nullptr };
    CComPtr<IShellItemArray> m_items;
    std::vector<CComPtr<IExplorerCommand>> m_commands;
    std::vector<CComPtr<IEnumExplorerCommand>> m_enumerators;
    long m_calls = 0;
};
long CommandFuzzer::s_roots = 0, CommandFuzzer::s_fetched = 0, CommandFuzzer::s_invoked = 0, CommandFuzzer::s_refused = 0;

TEST(ComFuzz, TheCommandTreeSurvivesRandomCallOrders)
{
    FuzzHarness harness;
    std::mt19937 random(20261209);
    const int sequences = kSequences / 3;
    long calls = harness.Run(random, sequences, [&](const FileSet& files) {
        CommandFuzzer fuzzer(random, files);
        fuzzer.RunSequence();
        return fuzzer.Calls();
    });
    printf("fuzz: %d command sequences, %ld calls: %ld roots, %ld commands enumerated, %ld invoked, %ld refused, "
           "%zu dialogs answered\n",
           sequences, calls, CommandFuzzer::s_roots, CommandFuzzer::s_fetched, CommandFuzzer::s_invoked,
           CommandFuzzer::s_refused, harness.DialogsAnswered());
}

}  // namespace

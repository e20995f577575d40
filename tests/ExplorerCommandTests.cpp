// The Windows 11 command tree against the classic menu: both built by real handlers for the same
// selection and settings, walked as Explorer walks them and compared after the documented mapping.
#include <gtest/gtest.h>
#include "AboutPageRes.h"
#include "CommandIds.h"
#include "ComObject.h"
#include "ExplorerCommand.h"
#include "Guids.h"
#include "MenuHandler.h"
#include "MenuProfileTest.h"
#include "SheetDriver.h"
#include "SurrogateRoute.h"
#include "TestSupport.h"
#include <atomic>
#include <map>
#include <thread>

namespace {

const UINT kFirst = 100;
const DWORD kInfo = OptAdditionalInfo;
const DWORD kNoSetting = 0xFFFFFFFF;
const DWORD kEveryGroupInline = kInfo | OptFileDetails | OptCopyMenu | OptAttributes | OptShortcutInfo | OptFileSummary
    | OptOptionsMenu | OptAboutMenu | OptQuickExts;

CComPtr<IShellItemArray> ItemArray(const std::vector<std::wstring>& paths)
{
    std::vector<PIDLIST_ABSOLUTE> ids;
    for (const std::wstring& path : paths)
        ids.push_back(ILCreateFromPathW(path.c_str()));
    CComPtr<IShellItemArray> items;
    EXPECT_EQ(S_OK, SHCreateShellItemArrayFromIDLists(UINT(ids.size()), const_cast<PCIDLIST_ABSOLUTE*>(ids.data()), &items));
    for (PIDLIST_ABSOLUTE id : ids)
        ILFree(id);
    return items;
}

// The classic text as a title: "&" marks gone ("&&" is one "&"), the tab one blank.
std::string Title(const std::wstring& text)
{
    std::wstring title;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 >= text.size() || text[i + 1] != L'&')
                continue;
            ++i;
        }
        title += text[i] == L'\t' ? L' ' : text[i];
    }
    return ToNarrow(title);
}

std::string Line(int depth, const std::string& title, bool popup, bool disabled, bool checked, const std::string& tip)
{
    return std::string(size_t(depth) * 2, ' ') + "\"" + title + "\"" + (popup ? " popup" : "") + (disabled ? " disabled" : "")
        + (checked ? " checked" : "") + (tip.empty() ? "" : " tip \"" + tip + "\"") + "\n";
}

// The classic menu's commands by offset, each as a flyout entry of that offset must show it.
void WalkClassic(HMENU menu, IContextMenu* handler, std::map<int, std::string>& out)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[1024] = {};
        MENUITEMINFOW info = { sizeof(info) };
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text) - 1;
        ASSERT_TRUE(GetMenuItemInfoW(menu, UINT(i), TRUE, &info));
        if (info.fType & MFT_SEPARATOR)
            continue;
        if (info.hSubMenu) {
            WalkClassic(info.hSubMenu, handler, out);
            continue;
        }
        wchar_t tip[256] = L"";
        handler->GetCommandString(info.wID - kFirst, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(tip), 256);
        out[int(info.wID - kFirst)] = Line(0, Title(text), false, (info.fState & MFS_DISABLED) != 0,
                                           (info.fState & MFS_CHECKED) != 0, ToNarrow(tip));
    }
}

std::string Taken(LPWSTR text)
{
    std::string narrow = text ? ToNarrow(text) : "";
    CoTaskMemFree(text);
    return narrow;
}

// The command tree as Explorer asks for it, with the tool tips or without.
void WalkModern(IExplorerCommand* command, IShellItemArray* items, int depth, std::string& out, bool tips = true)
{
    EXPCMDSTATE state = 0;
    ASSERT_EQ(S_OK, command->GetState(items, TRUE, &state));
    EXPCMDFLAGS flags = 0;
    ASSERT_EQ(S_OK, command->GetFlags(&flags));
    if (flags & ECF_ISSEPARATOR) {
        out += std::string(size_t(depth) * 2, ' ') + "----\n";
        return;
    }
    LPWSTR title = nullptr, tip = nullptr;
    EXPECT_EQ(S_OK, command->GetTitle(items, &title));
    if (tips)
        command->GetToolTip(items, &tip);
    bool popup = (flags & ECF_HASSUBCOMMANDS) != 0;
    EXPECT_EQ((state & ECS_CHECKED) != 0, (state & ECS_CHECKBOX) != 0);
    out += Line(depth, Taken(title), popup, (state & ECS_DISABLED) != 0, (state & ECS_CHECKED) != 0, Taken(tip));
    if (!popup)
        return;
    CComPtr<IEnumExplorerCommand> children;
    ASSERT_EQ(S_OK, command->EnumSubCommands(&children));
    CComPtr<IExplorerCommand> child;
    while (children->Next(1, &child, nullptr) == S_OK)
        WalkModern(child, items, depth + 1, out, tips);
}

// A root as Explorer makes it; with a selection, it has been shown it (slow state asked).
CComPtr<IExplorerCommand> NewRoot(IShellItemArray* items = nullptr)
{
    CComPtr<IExplorerCommand> root;
    EXPECT_EQ(S_OK, (CreateComInstance<CExplorerCommand, false>(nullptr, IID_IExplorerCommand, root.ReceiveVoid())));
    EXPCMDSTATE state = 0;
    if (root && items) {
        EXPECT_EQ(S_OK, root->GetState(items, TRUE, &state));
    }
    return root;
}

std::map<int, std::string> ClassicCommands(const std::vector<std::wstring>& paths)
{
    CComPtr<IContextMenu> handler;
    EXPECT_EQ(S_OK, (CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, handler.ReceiveVoid())));
    CComPtr<IShellExtInit> init;
    EXPECT_EQ(S_OK, handler.QueryInterface(IID_IShellExtInit, init));
    EXPECT_EQ(S_OK, init->Initialize(nullptr, ShellDataObject(paths), nullptr));
    CMenuHandle menu(CreatePopupMenu());
    handler->QueryContextMenu(menu, 0, kFirst, kFirst + 200, CMF_NORMAL);
    std::map<int, std::string> out;
    WalkClassic(menu, handler, out);
    return out;
}

class ExplorerCommand : public MenuProfileTest {
protected:
    void TearDown() override
    {
        SetSurrogateRoute(false, nullptr);
        MenuProfileTest::TearDown();
    }
    void Set(DWORD options, const wchar_t* quickExts)
    {
        ClearSettings();
        if (options != kNoSetting)
            StoreSetting(L"Options", options);
        if (*quickExts)
            StoreQuickExts(quickExts);
    }
    std::wstring Shortcut()
    {
        std::wstring link = m_dir / L"tool.lnk";
        EXPECT_EQ(S_OK, CreateShortcut(link, m_dir.MakeFile(L"tool.exe"), L"-x 1", m_dir.Path()));
        return link;
    }
    std::wstring Compound()
    {
        std::wstring path = m_dir / L"notes.doc";
        EXPECT_EQ(S_OK, CreateCompoundDocument(path, { "Plans", "Q3", "Ann", "a && b", "none" }));
        return path;
    }

    CTempDir m_dir{ L"xcmd" };
};

int OffsetOf(IExplorerCommand* command)
{
    GUID name = {};
    command->GetCanonicalName(&name);
    return int(name.Data1 - 0x5A1E1000);
}

const wchar_t kTenQuickExts[] = L"txt;md;csv;log;ini;xml;json;htm;bak;zq1";

TEST_F(ExplorerCommand, TheFlyoutHoldsAtMostSixteenLeavesWithTheClassicTitles)
{
    enum Selection { kFile, kShortcut, kCompound };
    const struct {
        const char* name;
        DWORD options;
        const wchar_t* quickExts;
        Selection selection;
        int quickShown;
    } cases[] = {
        { "default", kNoSetting, L"", kFile, 0 },
        { "every group as submenu, ten quick extensions, a shortcut", DefaultOptions, kTenQuickExts, kShortcut, 6 },
        { "every group inline, ten quick extensions, a shortcut", kEveryGroupInline, kTenQuickExts, kShortcut, 9 },
        { "every group as submenu, ten quick extensions", DefaultOptions, kTenQuickExts, kFile, 7 },
        { "compound document, three quick extensions", DefaultOptions, L"mvt;&x;zq1", kCompound, 3 },
        { "no group at all", kInfo, L"", kFile, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Set(c.options, c.quickExts);
        std::vector<std::wstring> paths;
        switch (c.selection) {
        case kFile: paths = { m_dir.MakeFile(L"report.mvt") }; break;
        case kShortcut: paths = { Shortcut() }; break;
        case kCompound: paths = { Compound() }; break;
        }
        std::map<int, std::string> classic = ClassicCommands(paths);
        CComPtr<IShellItemArray> items = ItemArray(paths);
        CComPtr<IExplorerCommand> root = NewRoot(items);
        CComPtr<IEnumExplorerCommand> children;
        ASSERT_EQ(S_OK, root->EnumSubCommands(&children));
        int entries = 0, quick = 0;
        bool lastWasSeparator = true;  // a first separator counts as leading
        CComPtr<IExplorerCommand> child;
        while (children->Next(1, &child, nullptr) == S_OK) {
            ++entries;
            EXPCMDFLAGS flags = 0;
            ASSERT_EQ(S_OK, child->GetFlags(&flags));
            EXPECT_EQ(0, flags & ECF_HASSUBCOMMANDS);
            bool separator = (flags & ECF_ISSEPARATOR) != 0;
            EXPECT_FALSE(separator && lastWasSeparator) << "leading or doubled separator at " << entries;
            lastWasSeparator = separator;
            if (separator)
                continue;
            LPWSTR title = nullptr, tip = nullptr;
            child->GetTitle(items, &title);
            child->GetToolTip(items, &tip);
            EXPCMDSTATE state = 0;
            child->GetState(items, TRUE, &state);
            std::string shown = Line(0, Taken(title), false, (state & ECS_DISABLED) != 0, (state & ECS_CHECKED) != 0, Taken(tip));
            int offset = OffsetOf(child);
            ASSERT_TRUE(classic.count(offset)) << shown << " runs no command of the classic menu";
            if (offset >= kCmdQuickFirst)
                ++quick;
            if (offset != kCmdAttrChange && offset != kCmdLinkChange && offset != kCmdSummaryChange) {
                EXPECT_EQ(classic[offset], shown);
            }
        }
        EXPECT_FALSE(lastWasSeparator && entries > 0) << "trailing separator";
        EXPECT_LE(entries, 16);
        EXPECT_EQ(c.quickShown, quick);
    }
}

// What a user sees, for the README: the default flyout, and one with ten quick extensions.
TEST_F(ExplorerCommand, TheFlyoutShowsWhatAUserReachesForFirst)
{
    const struct { const char* name; const wchar_t* quickExts; bool shortcut; const char* flyout; } cases[] = {
        { "default", L"", false,
          "\"Extension: mvt\" popup\n"
          "  \"Type: Morvane Test File...\"\n"
          "  ----\n"
          "  \"Copy File Name\"\n"
          "  \"Copy File Path\"\n"
          "  ----\n"
          "  \"Attributes...\"\n"
          "  \"Summary...\"\n"
          "  \"Options...\"\n"
          "  \"About...\"\n" },
        { "ten quick extensions, a shortcut", kTenQuickExts, true,
          "\"Extension: lnk\" popup\n"
          "  \"Type: Shortcut...\"\n"
          "  \"TXT File (.txt)\"\n"
          "  \"MD File (.md)\"\n"
          "  \"CSV File (.csv)\"\n"
          "  \"LOG File (.log)\"\n"
          "  \"Configuration Settings (.ini)\"\n"
          "  \"XML File (.xml)\"\n"
          "  ----\n"
          "  \"Copy File Name\"\n"
          "  \"Copy File Path\"\n"
          "  ----\n"
          "  \"Attributes...\"\n"
          "  \"Shortcut...\"\n"
          "  \"Summary...\"\n"
          "  \"Options...\"\n"
          "  \"About...\"\n" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Set(kNoSetting, c.quickExts);
        std::vector<std::wstring> paths = { c.shortcut ? Shortcut() : m_dir.MakeFile(L"report.mvt") };
        CComPtr<IShellItemArray> items = ItemArray(paths);
        std::string out;
        WalkModern(NewRoot(items), items, 0, out, false);
        EXPECT_EQ(c.flyout, out);
    }
}

TEST_F(ExplorerCommand, TheRootHasSubcommandsBeforeItsStateIsAsked)
{
    std::vector<std::wstring> one = { m_dir.MakeFile(L"a.mvt") };
    std::vector<std::wstring> two = { one[0], m_dir.MakeFile(L"b.mvt") };
    const struct { const char* name; std::vector<std::wstring> paths; DWORD options; EXPCMDFLAGS shown; } cases[] = {
        { "one file", one, kNoSetting, ECF_HASSUBCOMMANDS },
        { "one file, simple item", one, 0, ECF_DEFAULT },
        { "two files", two, kNoSetting, ECF_DEFAULT },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Set(c.options, L"");
        CComPtr<IExplorerCommand> root = NewRoot();
        EXPCMDFLAGS flags = 0;
        ASSERT_EQ(S_OK, root->GetFlags(&flags));
        EXPECT_EQ(ECF_HASSUBCOMMANDS, flags);
        CComPtr<IShellItemArray> items = ItemArray(c.paths);
        EXPCMDSTATE state = 0;
        EXPECT_EQ(E_PENDING, root->GetState(items, FALSE, &state));
        ASSERT_EQ(S_OK, root->GetFlags(&flags));
        EXPECT_EQ(c.paths.size() > 1 ? ECF_DEFAULT : ECF_HASSUBCOMMANDS, flags);  // nothing read yet
        ASSERT_EQ(S_OK, root->GetState(items, TRUE, &state));
        EXPECT_EQ(ECS_ENABLED, state);
        ASSERT_EQ(S_OK, root->GetFlags(&flags));
        EXPECT_EQ(c.shown, flags);
    }
}

TEST_F(ExplorerCommand, TheRootIsHiddenInTheClassicMenuWhichListsTheHandlerAlready)
{
    WNDCLASSW treeClass = {};
    treeClass.lpfnWndProc = DefWindowProcW;
    treeClass.lpszClassName = L"NamespaceTreeControl";
    RegisterClassW(&treeClass);
    CWindowHandle tree(CreateWindowExW(0, L"NamespaceTreeControl", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    CWindowHandle view(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(tree.IsValid() && view.IsValid());
    CWindowSite classicMenu(view), navigationPane(tree);
    CComPtr<IShellItemArray> noWindow = ItemArray({ m_dir.MakeFile(L"x.mvt") });  // a site that is no IOleWindow
    CComPtr<IShellItemArray> items = ItemArray({ m_dir.MakeFile(L"report.mvt") });
    const struct { const char* name; IUnknown* site; EXPCMDSTATE state; } cases[] = {
        { "Show more options", &classicMenu, ECS_HIDDEN },
        { "the navigation pane", &navigationPane, ECS_ENABLED },
        { "the first-level menu", noWindow, ECS_ENABLED },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CComPtr<IExplorerCommand> root = NewRoot();
        CComPtr<IObjectWithSite> withSite;
        ASSERT_EQ(S_OK, root.QueryInterface(IID_IObjectWithSite, withSite));
        ASSERT_EQ(S_OK, withSite->SetSite(c.site));
        EXPCMDSTATE state = 0;
        EXPECT_EQ(c.state == ECS_HIDDEN ? S_OK : E_PENDING, root->GetState(items, FALSE, &state));
        EXPECT_EQ(S_OK, root->GetState(items, TRUE, &state));
        EXPECT_EQ(c.state, state);
        withSite->SetSite(nullptr);
    }
    UnregisterClassW(L"NamespaceTreeControl", nullptr);
}

TEST_F(ExplorerCommand, TheRootIsHiddenWhereTheClassicMenuAddsNothing)
{
    std::vector<std::wstring> two = { m_dir.MakeFile(L"a.mvt"), m_dir.MakeFile(L"b.mvt") };
    PIDLIST_ABSOLUTE computer = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer));
    CComPtr<IShellItemArray> noPath;
    ASSERT_EQ(S_OK, SHCreateShellItemArrayFromIDLists(1, const_cast<PCIDLIST_ABSOLUTE*>(&computer), &noPath));
    ILFree(computer);
    StoreSetting(L"MultipleSelections", 0);
    const struct { const char* name; CComPtr<IShellItemArray> items; } cases[] = {
        { "several files, MultipleSelections 0", ItemArray(two) },
        { "no file-system path (My Computer)", noPath },
        { "empty selection", nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CComPtr<IExplorerCommand> root = NewRoot();
        EXPCMDSTATE state = ECS_ENABLED;
        EXPECT_EQ(c.items ? E_PENDING : S_OK, root->GetState(c.items, FALSE, &state));
        EXPECT_EQ(S_OK, root->GetState(c.items, TRUE, &state));
        EXPECT_EQ(ECS_HIDDEN, state);
        EXPECT_EQ(CExplorerCommand::kUnavailable, root->Invoke(c.items, nullptr));
        CComPtr<IEnumExplorerCommand> children;
        EXPECT_EQ(E_NOTIMPL, root->EnumSubCommands(&children));
    }
}

// The selection is read once per root: settings changed afterwards do not reach its children.
TEST_F(ExplorerCommand, TheDescriptionIsBuiltOnceAndSharedByTheChildren)
{
    CComPtr<IShellItemArray> items = ItemArray({ m_dir.MakeFile(L"report.mvt") });
    CComPtr<IExplorerCommand> root = NewRoot();
    EXPCMDSTATE state = 0;
    EXPECT_EQ(E_PENDING, root->GetState(items, FALSE, &state));
    ASSERT_EQ(S_OK, root->GetState(items, TRUE, &state));
    EXPECT_EQ(ECS_ENABLED, state);
    EXPECT_EQ(S_OK, root->GetState(items, FALSE, &state));  // now answered from memory
    std::string before;
    WalkModern(root, items, 0, before);
    StoreSetting(L"Options", 0);
    std::string after;
    WalkModern(root, items, 0, after);
    EXPECT_EQ(before, after);

    // The code under test is linked into this program, so the module is the program itself.
    wchar_t program[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    LPWSTR icon = nullptr;
    ASSERT_EQ(S_OK, root->GetIcon(items, &icon));
    EXPECT_EQ(ToNarrow(program) + ",-" + std::to_string(IDI_ABOUT_PRODUCT), Taken(icon));
}

// The child whose title path is given, found by walking the tree; null when there is none.
CComPtr<IExplorerCommand> Find(IExplorerCommand* root, IShellItemArray* items, std::vector<std::string> path)
{
    CComPtr<IExplorerCommand> at(root);
    for (const std::string& title : path) {
        CComPtr<IEnumExplorerCommand> children;
        if (at->EnumSubCommands(&children) != S_OK)
            return nullptr;
        CComPtr<IExplorerCommand> child, found;
        while (!found && children->Next(1, &child, nullptr) == S_OK) {
            LPWSTR text = nullptr;
            child->GetTitle(items, &text);
            if (Taken(text) == title)
                found = child;
        }
        at = found;
        if (!at)
            return nullptr;
    }
    return at;
}

TEST_F(ExplorerCommand, InvokeRunsTheClassicCommandAndRefusesWhatIsNoCommand)
{
    std::wstring file = m_dir.MakeFile(L"report.mvt");
    CComPtr<IShellItemArray> items = ItemArray({ file });
    CComPtr<IExplorerCommand> root = NewRoot(items);

    CComPtr<IExplorerCommand> copyName = Find(root, items, { "Copy File Name" });
    ASSERT_TRUE(copyName);
    EXPECT_EQ(S_OK, copyName->Invoke(items, nullptr));
    EXPECT_EQ(L"report", ClipboardText());  // the name without its extension, as the classic command copies it

    CComPtr<IEnumExplorerCommand> top;
    ASSERT_EQ(S_OK, root->EnumSubCommands(&top));
    CComPtr<IExplorerCommand> typeLine, separator;
    ASSERT_EQ(S_OK, top->Next(1, &typeLine, nullptr));
    ASSERT_EQ(S_OK, top->Next(1, &separator, nullptr));
    EXPCMDFLAGS flags = 0;
    separator->GetFlags(&flags);
    EXPECT_EQ(ECF_ISSEPARATOR, flags);
    EXPECT_EQ(CExplorerCommand::kNotACommand, separator->Invoke(items, nullptr));
    EXPECT_EQ(CExplorerCommand::kNotACommand, root->Invoke(items, nullptr));
}

std::wstring g_startedProgram, g_startedArguments;
HRESULT RecordStart(LPCWSTR program, LPCWSTR arguments, int)
{
    g_startedProgram = program;
    g_startedArguments = arguments;
    return S_OK;
}
HRESULT RefuseStart(LPCWSTR, LPCWSTR, int)
{
    return E_FAIL;
}

// In the COM surrogate a command goes to MorvaneRun.exe, which Explorer starts; where that fails it
// runs in the surrogate all the same.
TEST_F(ExplorerCommand, InTheSurrogateExplorerStartsTheRunnerForTheCommand)
{
    std::wstring file = m_dir.MakeFile(L"report.mvt");
    CComPtr<IShellItemArray> items = ItemArray({ file });
    CComPtr<IExplorerCommand> root = NewRoot(items);
    CComPtr<IExplorerCommand> copyPath = Find(root, items, { "Copy File Path" });
    ASSERT_TRUE(copyPath);

    SetSurrogateRoute(true, &RecordStart);
    ASSERT_EQ(S_OK, copyPath->Invoke(items, nullptr));
    EXPECT_EQ(ExeFolder() + L"\\MorvaneRun.exe", g_startedProgram);
    EXPECT_EQ(std::to_wstring(kCmdCopyFirst + 2) + L" \"" + file + L"\"", g_startedArguments);

    SetSurrogateRoute(true, &RefuseStart);
    PutOnClipboard(L"sentinel");
    ASSERT_EQ(S_OK, copyPath->Invoke(items, nullptr));
    EXPECT_EQ(file, ClipboardText());

    // Wine's desktop answers the shell's automation as Windows' Explorer does: the runner really starts.
    SetSurrogateRoute(true, nullptr);
    CComPtr<IExplorerCommand> copyName = Find(root, items, { "Copy File Name" });
    ASSERT_TRUE(copyName);
    ASSERT_EQ(S_OK, copyName->Invoke(items, nullptr));
    EXPECT_TRUE(WaitUntil(20000, [] { return ClipboardText() == L"report"; })) << ToNarrow(ClipboardText());
}

// Explorer's item array for another process: its data object holds the whole selection, while each
// item read alone costs two calls across processes. Wine's arrays give no data object.
class CRemoteItems : public IShellItemArray {
public:
    CRemoteItems(IShellItemArray* items, IDataObject* data) : m_items(items), m_data(data) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellItemArray) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP BindToHandler(IBindCtx*, REFGUID handler, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        return IsEqualGUID(handler, BHID_DataObject) ? m_data->QueryInterface(riid, ppv) : E_NOTIMPL;
    }
    STDMETHODIMP GetPropertyStore(GETPROPERTYSTOREFLAGS, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetPropertyDescriptionList(REFPROPERTYKEY, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetAttributes(SIATTRIBFLAGS, SFGAOF, SFGAOF*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCount(DWORD* count) override { return m_items->GetCount(count); }
    STDMETHODIMP GetItemAt(DWORD index, IShellItem** item) override
    {
        ++itemsRead;
        return m_items->GetItemAt(index, item);
    }
    STDMETHODIMP EnumItems(IEnumShellItems**) override { return E_NOTIMPL; }
    int itemsRead = 0;

private:
    CComPtr<IShellItemArray> m_items;
    CComPtr<IDataObject> m_data;
};

TEST_F(ExplorerCommand, TheSelectionIsReadInOneCallWhereTheArrayGivesItsDataObject)
{
    std::vector<std::wstring> paths = { m_dir.MakeFile(L"a.mvt"), m_dir.MakeFile(L"b.txt") };
    const struct { const char* name; CComPtr<IDataObject> data; int itemsRead; } cases[] = {
        { "the array's data object", HdropDataObject(paths), 0 },
        { "a data object without a file list", EmptyDataObject(), 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRemoteItems items(ItemArray(paths), c.data);
        CComPtr<IExplorerCommand> root = NewRoot(&items);
        LPWSTR title = nullptr;
        ASSERT_EQ(S_OK, root->GetTitle(&items, &title));
        EXPECT_EQ("Extension: <multiple>", Taken(title));
        EXPECT_EQ(c.itemsRead, items.itemsRead);
    }
}

// A sheet stays open for as long as the user likes; the tree answers meanwhile.
TEST_F(ExplorerCommand, NoLockIsHeldWhileTheSheetIsOpen)
{
    CComPtr<IShellItemArray> items = ItemArray({ m_dir.MakeFile(L"report.mvt") });
    CComPtr<IExplorerCommand> root = NewRoot(items);
    CComPtr<IExplorerCommand> about = Find(root, items, { "About..." });
    ASSERT_TRUE(about);
    CSheetDriver sheet([&] { about->Invoke(items, nullptr); });
    ASSERT_TRUE(sheet.Opened());
    std::atomic<bool> answered(false);
    std::thread asker([&] {
        LPWSTR title = nullptr;
        root->GetTitle(items, &title);
        CoTaskMemFree(title);
        answered = true;
    });
    EXPECT_TRUE(WaitUntil(5000, [&] { return answered.load(); }));
    sheet.Press(PSBTN_CANCEL);
    EXPECT_TRUE(sheet.WaitClosed());
    asker.join();
}

TEST_F(ExplorerCommand, TheEnumeratorKeepsTheContractOfNextSkipResetAndClone)
{
    StoreSetting(L"Options", kInfo | OptCopyMenu | OptOptionsMenu | OptAboutMenu);
    CComPtr<IShellItemArray> items = ItemArray({ m_dir.MakeFile(L"report.mvt") });
    CComPtr<IExplorerCommand> root = NewRoot(items);
    CComPtr<IEnumExplorerCommand> children;
    ASSERT_EQ(S_OK, root->EnumSubCommands(&children));

    IExplorerCommand* got[12] = {};
    ULONG fetched = 99;
    EXPECT_EQ(S_OK, children->Next(0, got, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_OK, children->Skip(1));  // the type line
    CComPtr<IEnumExplorerCommand> clone;
    ASSERT_EQ(S_OK, children->Clone(&clone));
    // Explorer may leave out the count for any number asked: the slots say what came.
    EXPECT_EQ(S_FALSE, children->Next(12, got, nullptr));
    std::string titles;
    for (IExplorerCommand*& command : got) {
        if (!command)
            continue;
        LPWSTR text = nullptr;
        command->GetTitle(items, &text);
        titles += Taken(text) + ";";
        command->Release();
        command = nullptr;
    }
    EXPECT_EQ(";Copy File Name;Copy File Path;;Options...;About...;", titles);
    EXPECT_EQ(S_FALSE, children->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_FALSE, children->Skip(1));
    EXPECT_EQ(S_FALSE, clone->Skip(7));  // the clone kept its own place: six remained
    EXPECT_EQ(S_OK, children->Reset());
    EXPECT_EQ(S_FALSE, children->Skip(10));
}

}

namespace {

// The built module serves the class and counts its objects, but does not register it: the
// package declares it.
TEST(ExplorerCommandClass, IsServedAndCountedButNotRegistered)
{
    using Export = HRESULT(STDAPICALLTYPE*)();
    using GetClassObjectExport = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    CLibrary module(LoadLibraryW(BuiltModulePath().c_str()));
    ASSERT_TRUE(module.IsValid());
    auto getClassObject = reinterpret_cast<GetClassObjectExport>(GetProcAddress(module, "DllGetClassObject"));
    auto canUnload = reinterpret_cast<Export>(GetProcAddress(module, "DllCanUnloadNow"));
    auto registerServer = reinterpret_cast<Export>(GetProcAddress(module, "DllRegisterServer"));
    auto unregisterServer = reinterpret_cast<Export>(GetProcAddress(module, "DllUnregisterServer"));
    ASSERT_TRUE(getClassObject && canUnload && registerServer && unregisterServer);

    {
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, getClassObject(CLSID_MorvaneExplorerCommand, IID_IClassFactory, factory.ReceiveVoid()));
        CComPtr<IExplorerCommand> root;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IExplorerCommand, root.ReceiveVoid()));
        CComPtr<IObjectWithSite> site;
        EXPECT_EQ(S_OK, root.QueryInterface(IID_IObjectWithSite, site));
        factory.Release();
        EXPECT_EQ(S_FALSE, canUnload());
    }
    EXPECT_EQ(S_OK, canUnload());

    ASSERT_EQ(S_OK, registerServer());
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{5A1E0C47-6B2D-4F80-9C14-7E3B2A9D0F61}"));
    unregisterServer();
}

}

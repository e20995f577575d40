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
#include "TestSupport.h"

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

// The classic menu as the command tree must show it.
void WalkClassic(HMENU menu, IContextMenu* handler, int depth, std::string& out)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[1024] = {};
        MENUITEMINFOW info = { sizeof(info) };
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text) - 1;
        ASSERT_TRUE(GetMenuItemInfoW(menu, UINT(i), TRUE, &info));
        if (info.fType & MFT_SEPARATOR) {
            out += std::string(size_t(depth) * 2, ' ') + "----\n";
            continue;
        }
        wchar_t tip[256] = L"";
        if (!info.hSubMenu)
            handler->GetCommandString(info.wID - kFirst, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(tip), 256);
        out += Line(depth, Title(text), info.hSubMenu != nullptr, (info.fState & MFS_DISABLED) != 0,
                    (info.fState & MFS_CHECKED) != 0, ToNarrow(tip));
        if (info.hSubMenu)
            WalkClassic(info.hSubMenu, handler, depth + 1, out);
    }
}

std::string Taken(LPWSTR text)
{
    std::string narrow = text ? ToNarrow(text) : "";
    CoTaskMemFree(text);
    return narrow;
}

// The command tree as Explorer asks for it.
void WalkModern(IExplorerCommand* command, IShellItemArray* items, int depth, std::string& out)
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
        WalkModern(child, items, depth + 1, out);
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

std::string ClassicTree(const std::vector<std::wstring>& paths)
{
    CComPtr<IContextMenu> handler;
    EXPECT_EQ(S_OK, (CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, handler.ReceiveVoid())));
    CComPtr<IShellExtInit> init;
    EXPECT_EQ(S_OK, handler.QueryInterface(IID_IShellExtInit, init));
    EXPECT_EQ(S_OK, init->Initialize(nullptr, ShellDataObject(paths), nullptr));
    CMenuHandle menu(CreatePopupMenu());
    handler->QueryContextMenu(menu, 0, kFirst, kFirst + 200, CMF_NORMAL);
    std::string out;
    WalkClassic(menu, handler, 0, out);
    return out;
}

std::string ModernTree(const std::vector<std::wstring>& paths)
{
    CComPtr<IShellItemArray> items = ItemArray(paths);
    std::string out;
    WalkModern(NewRoot(), items, 0, out);
    return out;
}

class ExplorerCommand : public MenuProfileTest {
protected:
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

TEST_F(ExplorerCommand, TheTreeMirrorsTheClassicMenuForEverySelectionAndSetting)
{
    enum Selection { kFile, kTwoFiles, kShortcut, kCompound };
    const struct {
        const char* name;
        DWORD options;
        const wchar_t* quickExts;
        Selection selection;
    } cases[] = {
        { "default", kNoSetting, L"", kFile },
        { "every group inline", kEveryGroupInline, L"mvt;zq1", kShortcut },
        { "every group as submenu", DefaultOptions, L"mvt;zq1", kShortcut },
        { "simple item", 0, L"", kFile },
        { "several files", kNoSetting, L"", kTwoFiles },
        { "shortcut", kNoSetting, L"", kShortcut },
        { "compound document", kNoSetting, L"", kCompound },
        { "quick extensions", DefaultOptions & ~OptQuickExtsSubmenu, L"txt;mvt;&x", kFile },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Set(c.options, c.quickExts);
        std::vector<std::wstring> paths;
        switch (c.selection) {
        case kFile: paths = { m_dir.MakeFile(L"report.mvt") }; break;
        case kTwoFiles: paths = { m_dir.MakeFile(L"a.mvt"), m_dir.MakeFile(L"b.txt") }; break;
        case kShortcut: paths = { Shortcut() }; break;
        case kCompound: paths = { Compound() }; break;
        }
        std::string classic = ClassicTree(paths);
        EXPECT_NE("", classic);
        EXPECT_EQ(classic, ModernTree(paths));
    }
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

    CComPtr<IExplorerCommand> copyName = Find(root, items, { "Clipboard", "Copy File Name" });
    ASSERT_TRUE(copyName);
    EXPECT_EQ(S_OK, copyName->Invoke(items, nullptr));
    EXPECT_EQ(L"report", ClipboardText());  // the name without its extension, as the classic command copies it

    CComPtr<IExplorerCommand> hidden = Find(root, items, { "Attributes: [A]", "Hidden" });
    ASSERT_TRUE(hidden);
    EXPECT_EQ(S_OK, hidden->Invoke(items, nullptr));
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);

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
    CComPtr<IExplorerCommand> sizeLine = Find(root, items, { "File details", "Size: 4 bytes" });
    ASSERT_TRUE(sizeLine);
    EXPECT_EQ(CExplorerCommand::kUnavailable, sizeLine->Invoke(items, nullptr));
}

TEST_F(ExplorerCommand, TheEnumeratorKeepsTheContractOfNextSkipResetAndClone)
{
    StoreSetting(L"Options", kInfo | OptCopyMenu);  // type line, separator and the seven copy commands
    CComPtr<IShellItemArray> items = ItemArray({ m_dir.MakeFile(L"report.mvt") });
    CComPtr<IExplorerCommand> root = NewRoot(items);
    CComPtr<IEnumExplorerCommand> children;
    ASSERT_EQ(S_OK, root->EnumSubCommands(&children));

    IExplorerCommand* got[12] = {};
    ULONG fetched = 99;
    EXPECT_EQ(S_OK, children->Next(0, got, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(E_POINTER, children->Next(2, got, nullptr));
    EXPECT_EQ(S_OK, children->Skip(3));
    CComPtr<IEnumExplorerCommand> clone;
    ASSERT_EQ(S_OK, children->Clone(&clone));
    EXPECT_EQ(S_FALSE, children->Next(12, got, &fetched));
    EXPECT_EQ(6u, fetched);
    std::string titles;
    for (ULONG i = 0; i < fetched; ++i) {
        LPWSTR text = nullptr;
        got[i]->GetTitle(items, &text);
        titles += Taken(text) + ";";
        got[i]->Release();
    }
    EXPECT_EQ("Copy File Name;Copy File Path;Copy Short Name;Copy Short Path;Copy File Size;Copy File Type;", titles);
    EXPECT_EQ(S_FALSE, children->Next(1, got, &fetched));
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

// The context menu as the shell receives it: built by a real handler from the shell's own data
// object, with settings written to the user's real settings key, compared as whole menu trees.
#include <gtest/gtest.h>
#include "ComObject.h"
#include "Format.h"
#include "MenuHandler.h"
#include "MenuProfileTest.h"
#include "MenuTree.h"
#include "TestSupport.h"
#include <set>

namespace {

const UINT kFirst = 100;
const HRESULT kClaimed = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 56);
const HRESULT kNothing = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);

const DWORD kAll = DefaultOptions;
const DWORD kInfo = OptAdditionalInfo;

// The menu text as RenderMenu shows it: tabs as \t.
std::string Shown(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c == L'\t' ? std::string("\\t") : ToNarrow(std::wstring(1, c));
    return out;
}

std::string Indent(const std::string& lines)
{
    std::string out;
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        out += "  " + lines.substr(start, end - start + 1);
        start = end + 1;
    }
    return out;
}

std::string Popup(const std::string& label, const std::string& items)
{
    return "\"" + label + "\" popup\n" + Indent(items);
}

// The shell's own menu around what the handler inserted at position 1.
std::string InShellMenu(const std::string& inserted)
{
    return "\"&Open\" id 1\n" + inserted + "\"P&roperties\" id 2\n";
}

std::string MapText(const CMenuHandler::CommandMap& m)
{
    char text[256];
    snprintf(text, sizeof(text),
             "type %d openWith %d locate %d copy %d+%d attr %d change %d link %d/%d summary %d options %d about %d "
             "quick %d+%d",
             m.typeCmd, m.openWithFirst, m.locateCmd, m.copyFirst, m.copyCount, m.attrFirst, m.attrChangeCmd,
             m.linkLocateCmd, m.linkChangeCmd, m.summaryChangeCmd, m.optionsCmd, m.aboutCmd, m.quickFirst, m.quickCount);
    return text;
}

const char kTypeLine[] = "\"Type:\\tMorvane Test File...\" @1 default\n";
const char kCopyItems[] =
    "\"Copy File Extension\" @18\n"
    "\"Copy File Name\" @19\n"
    "\"Copy File Path\" @20\n"
    "\"Copy Short Name\" @21\n"
    "\"Copy Short Path\" @22\n"
    "\"Copy File Size\" @23\n"
    "\"Copy File Type\" @24\n";
const char kAttributeItemsArchive[] =
    "\"Archive\" @25 checked\n"
    "\"Read-only\" @26\n"
    "\"Hidden\" @27\n"
    "\"System\" @28\n"
    "\"Compressed\" @29 disabled\n"
    "\"Temporary\" @30 disabled\n";
const char kAttributeCommands[] =
    "----\n"
    "\"Clear all (SHRA)\" @31\n"
    "----\n"
    "\"Change...\" @32 default\n";
const char kEmptySummaryLines[] =
    "\"Title:\\t<not set>\" @38 disabled\n"
    "\"Subject:\\t<not set>\" @39 disabled\n"
    "\"Author:\\t<not set>\" @40 disabled\n"
    "\"Keywords:\\t<not set>\" @41 disabled\n"
    "\"Comments:\\t<not set>\" @42 disabled\n";

// One handler as the shell drives it, with the shell's menu it fills.
class MenuRun {
public:
    explicit MenuRun(const std::vector<std::wstring>& paths, bool initialize = true)
    {
        EXPECT_EQ(S_OK, (CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, m_handler.ReceiveVoid())));
        if (initialize && m_handler) {
            CComPtr<IDataObject> data = ShellDataObject(paths);
            EXPECT_TRUE(data);
            CComPtr<IShellExtInit> init;
            EXPECT_EQ(S_OK, m_handler.QueryInterface(IID_IShellExtInit, init));
            if (init) {
                EXPECT_EQ(S_OK, init->Initialize(nullptr, data, nullptr));
            }
        }
        m_menu.Attach(CreatePopupMenu());
        AppendMenuW(m_menu, MF_STRING, 1, L"&Open");
        AppendMenuW(m_menu, MF_STRING, 2, L"P&roperties");
    }

    CMenuHandler* Handler() const { return static_cast<CMenuHandler*>(m_handler.Get()); }
    IContextMenu* Menu() const { return m_handler; }
    HRESULT Query(UINT flags = CMF_NORMAL) { return QueryRange(kFirst, kFirst + 200, flags); }
    HRESULT QueryRange(UINT first, UINT last, UINT flags = CMF_NORMAL, HMENU menu = nullptr)
    {
        return m_handler ? m_handler->QueryContextMenu(menu ? menu : m_menu.Get(), 1, first, last, flags) : E_POINTER;
    }
    std::string Tree() const { return RenderMenu(m_menu, kFirst); }
    std::string Map() const { return MapText(Handler()->GetCommandMap()); }
    std::vector<std::wstring> QuickExts() const
    {
        std::vector<std::wstring> entries;
        for (const CString& entry : Handler()->GetQuickExts())
            entries.push_back(entry.GetString());
        return entries;
    }

private:
    CComPtr<IContextMenu> m_handler;
    CMenuHandle m_menu;
};

class ContextMenu : public MenuProfileTest {
protected:
    // A four-byte file last written on Friday, January 1, 2010 at 00:05 and last read on
    // Monday, March 7, 2005 at 13:07 (UTC, the test's time zone).
    std::wstring MakeFile(const std::wstring& name)
    {
        std::wstring path = m_dir.MakeFile(name, "data");
        FILETIME written = UtcFileTime(2010, 1, 1, 0, 5), read = UtcFileTime(2005, 3, 7, 13, 7);
        CFileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(file.IsValid());
        EXPECT_TRUE(SetFileTime(file, nullptr, &read, &written));
        return path;
    }

    // The file-detail lines of a file made by MakeFile. The creation time cannot be set on every
    // file system, so its line is the file's own creation time as the date-line builder shows it.
    static std::string DetailLines(const std::wstring& path, const std::string& shortName)
    {
        WIN32_FIND_DATAW data = {};
        CFindHandle find(FindFirstFileW(path.c_str(), &data));
        WCHAR created[100];
        FormatFileTime(data.ftCreationTime, created, 100, L"Created:", true);
        return "\"Size:\\t4 bytes\" @12 disabled\n"
               "\"Short Name:\\t" + shortName + "\" @13 disabled\n"
               "\"" + Shown(created) + "\" @14 disabled\n"
               "\"Modified:\\tFriday, January 1, 2010 12:05 AM\" @15 disabled\n"
               "\"Accessed:\\tMonday, March 7, 2005\" @16 disabled\n"
               "\"Location:\\t<Open in Explorer>\" @17\n";
    }

    CTempDir m_dir{ L"menu" };
};

TEST_F(ContextMenu, TheDefaultMenuOnAFreshProfile)
{
    std::wstring file = MakeFile(L"report.mvt");
    std::string body = std::string(kTypeLine) + "----\n"
        + Popup("File details", DetailLines(file, "REPORT.MVT"))
        + Popup("Clipboard", kCopyItems)
        + Popup("Attributes:\\t[A]", std::string(kAttributeItemsArchive) + kAttributeCommands)
        + Popup("Summary Information", std::string(kEmptySummaryLines) + "----\n\"Change...\" @43 default\n")
        + "----\n"
          "\"Options...\" @44\n"
          "\"About...\" @45\n";

    MenuRun run({ file });
    EXPECT_EQ(kClaimed, run.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", body)), run.Tree());
    EXPECT_EQ("type 1 openWith 2 locate 17 copy 18+7 attr 25 change 32 link 33/33 summary 43 options 44 about 45 quick -1+0",
              run.Map());
    // The settings key is created on the first menu.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));

    StoreQuickExts(L"mvt;zq1");
    MenuRun withQuick({ file });
    EXPECT_EQ(kClaimed, withQuick.Query());
    std::string quick = Popup("Quick Extensions", "\"Morvane Test File\\t(.mvt)\" @46\n\"ZQ1 File\\t(.zq1)\" @47\n");
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", body + "----\n" + quick)), withQuick.Tree());
    EXPECT_EQ("type 1 openWith 2 locate 17 copy 18+7 attr 25 change 32 link 33/33 summary 43 options 44 about 45 quick 46+2",
              withQuick.Map());
    EXPECT_EQ((std::vector<std::wstring>{ L"mvt", L"zq1" }), withQuick.QuickExts());

    StoreSettings(DefaultOptions);
    MenuRun stored({ file });
    EXPECT_EQ(kClaimed, stored.Query(CMF_EXPLORE));
    EXPECT_EQ(withQuick.Tree(), stored.Tree());
}

TEST_F(ContextMenu, OptionsZeroGiveTheSimpleItemAndOnlyAdditionalInfoTheTypeLine)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(0);
    StoreQuickExts(L"txt");
    MenuRun simple({ file });
    EXPECT_EQ(kClaimed, simple.Query());
    EXPECT_EQ(InShellMenu("\"E&xtension: mvt\" @0\n"), simple.Tree());
    EXPECT_EQ("type 0 openWith -1 locate -1 copy -1+0 attr -1 change -1 link -1/-1 summary -1 options -1 about -1 quick -1+0",
              simple.Map());

    StoreSettings(kInfo);
    MenuRun typeOnly({ file });
    EXPECT_EQ(kClaimed, typeOnly.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", kTypeLine)), typeOnly.Tree());
    EXPECT_EQ("type 1 openWith 2 locate -1 copy 18+0 attr 25 change 32 link 33/33 summary 43 options -1 about 44 quick -1+0",
              typeOnly.Map());
}

TEST_F(ContextMenu, FileDetailsInlineAndAsSubmenu)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(kInfo | OptFileDetails);
    MenuRun inlined({ file });
    EXPECT_EQ(kClaimed, inlined.Query());
    std::string details = DetailLines(file, "REPORT.MVT");
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + details)), inlined.Tree());
    EXPECT_EQ(17, inlined.Handler()->GetCommandMap().locateCmd);

    StoreSettings(kInfo | OptFileDetails | OptFileDetailsSubmenu);
    MenuRun popup({ file });
    EXPECT_EQ(kClaimed, popup.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + Popup("File details", details))),
              popup.Tree());
}

TEST_F(ContextMenu, ClipboardInlineAndAsSubmenu)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(kInfo | OptCopyMenu);
    MenuRun inlined({ file });
    EXPECT_EQ(kClaimed, inlined.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + kCopyItems)), inlined.Tree());

    StoreSettings(kInfo | OptCopyMenu | OptCopyMenuSubmenu);
    MenuRun popup({ file });
    EXPECT_EQ(kClaimed, popup.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + Popup("Clipboard", kCopyItems))),
              popup.Tree());
    EXPECT_EQ("type 1 openWith 2 locate -1 copy 18+7 attr 25 change 32 link 33/33 summary 43 options -1 about 44 quick -1+0",
              popup.Map());
}

TEST_F(ContextMenu, AttributesInlineAndAsSubmenuWithLettersAndCheckMarks)
{
    std::wstring file = MakeFile(L"report.mvt");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    const std::string items =
        "\"Archive\" @25 checked\n"
        "\"Read-only\" @26 checked\n"
        "\"Hidden\" @27\n"
        "\"System\" @28\n"
        "\"Compressed\" @29 disabled\n"
        "\"Temporary\" @30 disabled\n";

    StoreSettings(kInfo | OptAttributes);
    MenuRun inlined({ file });
    EXPECT_EQ(kClaimed, inlined.Query());
    // Inline: no label line, no "Clear all (SHRA)", no "Change...", yet the change command is mapped.
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + items)), inlined.Tree());
    EXPECT_EQ(32, inlined.Handler()->GetCommandMap().attrChangeCmd);

    StoreSettings(kInfo | OptAttributes | OptAttributesSubmenu);
    MenuRun popup({ file });
    EXPECT_EQ(kClaimed, popup.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt",
                                std::string(kTypeLine) + "----\n" + Popup("Attributes:\\t[AR]", items + kAttributeCommands))),
              popup.Tree());
    EXPECT_EQ("type 1 openWith 2 locate -1 copy 18+0 attr 25 change 32 link 33/33 summary 43 options -1 about 44 quick -1+0",
              popup.Map());
}

// The friendly name of the shortcut type as this system registers it.
std::string ShortcutTypeName()
{
    std::wstring progId, name;
    if (!ReadString(HKEY_CLASSES_ROOT, L".lnk", nullptr, progId) || progId.empty())
        return "LNK File";
    if (!ReadString(HKEY_CLASSES_ROOT, progId, nullptr, name) || name.empty())
        return ToNarrow(progId);
    return ToNarrow(name);
}

TEST_F(ContextMenu, AShortcutShowsItsGroupInlineAndAsSubmenu)
{
    std::wstring target = m_dir.MakeFile(L"tool.exe");
    std::wstring link = m_dir / L"tool.lnk";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"-x 1", m_dir.Path()));
    std::string typeLine = "\"Type:\\t" + ShortcutTypeName() + "...\" @1 default\n";
    std::string lines = "\"Command:\\t" + Shown(target) + "\" @33 disabled\n"
        "\"Arguments:\\t-x 1\" @34 disabled\n"
        "\"Directory:\\t" + Shown(m_dir.Path()) + "\" @35 disabled\n"
        "\"Location:\\t<Open in Explorer>\" @36\n";

    StoreSettings(kInfo | OptShortcutInfo);
    MenuRun inlined({ link });
    EXPECT_EQ(kClaimed, inlined.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: lnk", typeLine + "----\n" + lines)), inlined.Tree());
    EXPECT_EQ("type 1 openWith 2 locate -1 copy 18+0 attr 25 change 32 link 36/37 summary 43 options -1 about 44 quick -1+0",
              inlined.Map());

    StoreSettings(kInfo | OptShortcutInfo | OptShortcutInfoSubmenu);
    MenuRun popup({ link });
    EXPECT_EQ(kClaimed, popup.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: lnk",
                                typeLine + "----\n" + Popup("Shortcut info", lines + "----\n\"Change...\" @37 default\n"))),
              popup.Tree());

    // The same settings on a plain file: no group, both shortcut commands on the first shortcut offset.
    MenuRun plain({ MakeFile(L"plain.mvt") });
    EXPECT_EQ(kClaimed, plain.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", kTypeLine)), plain.Tree());
    EXPECT_EQ("type 1 openWith 2 locate -1 copy 18+0 attr 25 change 32 link 33/33 summary 43 options -1 about 44 quick -1+0",
              plain.Map());
}

TEST_F(ContextMenu, SummaryInlineAndAsSubmenu)
{
    ASSERT_TRUE(IsNt5OrLater());
    std::wstring document = m_dir / L"budget.mvt";
    ASSERT_EQ(S_OK, CreateCompoundDocument(document, { "Budget 2005", nullptr, "Ann" }));
    const std::string lines =
        "\"Title:\\tBudget 2005\" @38 disabled\n"
        "\"Subject:\\t<not set>\" @39 disabled\n"
        "\"Author:\\tAnn\" @40 disabled\n"
        "\"Keywords:\\t<not set>\" @41 disabled\n"
        "\"Comments:\\t<not set>\" @42 disabled\n";

    StoreSettings(kInfo | OptFileSummary);
    MenuRun inlined({ document });
    EXPECT_EQ(kClaimed, inlined.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + lines)), inlined.Tree());

    StoreSettings(kInfo | OptFileSummary | OptFileSummarySubmenu);
    MenuRun popup({ document });
    EXPECT_EQ(kClaimed, popup.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n"
                                    + Popup("Summary Information", lines + "----\n\"Change...\" @43 default\n"))),
              popup.Tree());
    EXPECT_EQ(43, popup.Handler()->GetCommandMap().summaryChangeCmd);
}

TEST_F(ContextMenu, DialogCommandsEachAloneAndTogether)
{
    std::wstring file = MakeFile(L"report.mvt");
    struct Case { DWORD options; const char* items; int optionsCmd, aboutCmd; } cases[] = {
        { OptOptionsMenu, "\"Options...\" @44\n", 44, 45 },
        { OptAboutMenu, "\"About...\" @45\n", -1, 45 },
        { OptOptionsMenu | OptAboutMenu, "\"Options...\" @44\n\"About...\" @45\n", 44, 45 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        StoreSettings(kInfo | c.options);
        MenuRun run({ file });
        EXPECT_EQ(kClaimed, run.Query());
        EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + c.items)), run.Tree());
        EXPECT_EQ(c.optionsCmd, run.Handler()->GetCommandMap().optionsCmd);
        EXPECT_EQ(c.aboutCmd, run.Handler()->GetCommandMap().aboutCmd);
    }
}

TEST_F(ContextMenu, QuickExtensionsInlineAndAsSubmenu)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreQuickExts(L"zq1;mvt");
    const std::string items = "\"ZQ1 File\\t(.zq1)\" @46\n\"Morvane Test File\\t(.mvt)\" @47\n";

    StoreSettings(kInfo | OptQuickExts);
    MenuRun inlined({ file });
    EXPECT_EQ(kClaimed, inlined.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + items)), inlined.Tree());

    StoreSettings(kInfo | OptQuickExts | OptQuickExtsSubmenu);
    MenuRun popup({ file });
    EXPECT_EQ(kClaimed, popup.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + Popup("Quick Extensions", items))),
              popup.Tree());
    EXPECT_EQ("type 1 openWith 2 locate -1 copy 18+0 attr 25 change 32 link 33/33 summary 43 options -1 about 44 quick 46+2",
              popup.Map());

    // Switched on with an empty list, or listed but switched off: no group.
    StoreQuickExts(L"");
    MenuRun empty({ file });
    EXPECT_EQ(kClaimed, empty.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", kTypeLine)), empty.Tree());
    EXPECT_EQ(-1, empty.Handler()->GetCommandMap().quickFirst);
}

TEST_F(ContextMenu, TwelveQuickExtensionsAreAllCountedButTenShown)
{
    std::wstring file = MakeFile(L"report.mvt");
    std::wstring list;
    std::string items;
    for (int i = 1; i <= 12; ++i) {
        list += (i > 1 ? L";q" : L"q") + std::to_wstring(i);
        if (i <= 10)
            items += "\"Q" + std::to_string(i) + " File\\t(.q" + std::to_string(i) + ")\" @" + std::to_string(45 + i) + "\n";
    }
    StoreQuickExts(list);
    StoreSettings(kInfo | OptQuickExts);
    MenuRun run({ file });
    EXPECT_EQ(kClaimed, run.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + items)), run.Tree());
    EXPECT_EQ(12, run.Handler()->GetCommandMap().quickCount);
    EXPECT_EQ((std::vector<std::wstring>{ L"q1", L"q2", L"q3", L"q4", L"q5", L"q6", L"q7", L"q8", L"q9", L"q10", L"", L"" }),
              run.QuickExts());
}

TEST_F(ContextMenu, ATrailingSemicolonGivesAnEmptyLastEntry)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreQuickExts(L"mvt;");
    StoreSettings(kInfo | OptQuickExts);
    MenuRun run({ file });
    EXPECT_EQ(kClaimed, run.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n"
                                    "\"Morvane Test File\\t(.mvt)\" @46\n"
                                    "\"No association\\t(.)\" @47\n")),
              run.Tree());
    EXPECT_EQ((std::vector<std::wstring>{ L"mvt", L"" }), run.QuickExts());
}

TEST_F(ContextMenu, ALeadingSemicolonGivesAnEmptyFirstEntryAndLosesNone)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(kInfo | OptQuickExts);
    struct Case { const wchar_t* list; std::vector<std::wstring> entries; const char* items; } cases[] = {
        { L";mvt", { L"", L"mvt" }, "\"No association\\t(.)\" @46\n\"Morvane Test File\\t(.mvt)\" @47\n" },
        { L";mvt;zq1", { L"", L"mvt", L"zq1" },
          "\"No association\\t(.)\" @46\n\"Morvane Test File\\t(.mvt)\" @47\n\"ZQ1 File\\t(.zq1)\" @48\n" },
        { L";", { L"", L"" }, "\"No association\\t(.)\" @46\n\"No association\\t(.)\" @47\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToNarrow(c.list));
        StoreQuickExts(c.list);
        MenuRun run({ file });
        EXPECT_EQ(kClaimed, run.Query());
        EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + c.items)), run.Tree());
        EXPECT_EQ(int(c.entries.size()), run.Handler()->GetCommandMap().quickCount);
        EXPECT_EQ(c.entries, run.QuickExts());
    }
}

TEST_F(ContextMenu, AFileWithoutExtension)
{
    std::wstring file = MakeFile(L"README");
    StoreSettings(kInfo);
    MenuRun full({ file });
    EXPECT_EQ(kClaimed, full.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: <none>", "\"Type:\\tNo association...\" @1 default\n")), full.Tree());

    StoreSettings(0);
    MenuRun simple({ file });
    EXPECT_EQ(kClaimed, simple.Query());
    EXPECT_EQ(InShellMenu("\"E&xtension: \" @0\n"), simple.Tree());
}

TEST_F(ContextMenu, TwoFilesGetTheSimpleItemWithTheirCommonExtension)
{
    std::wstring lower = MakeFile(L"one.mvt"), upper = MakeFile(L"TWO.MVT"), other = MakeFile(L"three.zq1");
    MenuRun sameExtension({ lower, upper });
    EXPECT_EQ(kClaimed, sameExtension.Query());
    EXPECT_EQ(InShellMenu("\"E&xtension: mvt\" @0\n"), sameExtension.Tree());
    EXPECT_EQ(0, sameExtension.Handler()->GetCommandMap().typeCmd);

    MenuRun upperFirst({ upper, lower });
    EXPECT_EQ(kClaimed, upperFirst.Query());
    EXPECT_EQ(InShellMenu("\"E&xtension: MVT\" @0\n"), upperFirst.Tree());

    MenuRun different({ lower, upper, other });
    EXPECT_EQ(kClaimed, different.Query());
    EXPECT_EQ(InShellMenu("\"E&xtension: <multiple>\" @0\n"), different.Tree());
}

TEST_F(ContextMenu, MultipleSelectionsZeroRefusesSeveralFilesOnly)
{
    std::wstring one = MakeFile(L"one.mvt"), two = MakeFile(L"two.mvt");
    StoreSetting(kValueMultipleSelections, 0);
    StoreSettings(kInfo);
    MenuRun several({ one, two });
    EXPECT_EQ(kNothing, several.Query());
    EXPECT_EQ(InShellMenu(""), several.Tree());

    MenuRun single({ one });
    EXPECT_EQ(kClaimed, single.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", kTypeLine)), single.Tree());
}

TEST_F(ContextMenu, DefaultOnlyFailsAndALaterNormalRequestStillBuilds)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(kInfo);
    MenuRun run({ file });
    EXPECT_EQ(E_FAIL, run.Query(CMF_DEFAULTONLY));
    EXPECT_EQ(E_FAIL, run.Query(CMF_DEFAULTONLY | CMF_EXPLORE));
    EXPECT_EQ(InShellMenu(""), run.Tree());
    EXPECT_EQ(kClaimed, run.Query(CMF_NORMAL));
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", kTypeLine)), run.Tree());
}

TEST_F(ContextMenu, OtherMenuTypesGetNothingAndLeaveTheBuildToALaterNormalRequest)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(kInfo);
    for (UINT flags : { UINT(CMF_VERBSONLY), UINT(CMF_NOVERBS), UINT(CMF_EXPLORE | CMF_NOVERBS) }) {
        SCOPED_TRACE(flags);
        MenuRun run({ file });
        EXPECT_EQ(kNothing, run.Query(flags));
        EXPECT_EQ(InShellMenu(""), run.Tree());
        EXPECT_EQ(kClaimed, run.Query(CMF_NORMAL));
        EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", kTypeLine)), run.Tree());
    }
    // Flags outside the menu type do not matter.
    MenuRun extended({ file });
    EXPECT_EQ(kClaimed, extended.Query(CMF_EXTENDEDVERBS | CMF_CANRENAME));
    EXPECT_NE(InShellMenu(""), extended.Tree());
}

TEST_F(ContextMenu, ARangeTooSmallForEveryOffsetGetsNothingAndALaterOneBuilds)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(0);
    struct Case { UINT first, last; HRESULT result; } cases[] = {
        { kFirst, kFirst + 54, kNothing },  // 55 identifiers
        { kFirst, kFirst, kNothing },
        { kFirst, kFirst - 1, kNothing },
        { 0xFFFFFFF0u, 0xFFFFFFFFu, kNothing },
        { kFirst, kFirst + 55, kClaimed },  // exactly 56, the last one included
        { 0xFFFFFFFFu - 55, 0xFFFFFFFFu, kClaimed },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
        MenuRun run({ file });
        EXPECT_EQ(c.result, run.QueryRange(c.first, c.last));
        if (c.result == kNothing) {
            EXPECT_EQ(InShellMenu(""), run.Tree());
            EXPECT_EQ(kClaimed, run.Query());
        }
        EXPECT_EQ(0, run.Handler()->GetCommandMap().typeCmd);  // the simple item, built once
    }
}

TEST_F(ContextMenu, AHandleThatIsNoMenuGetsNothingAndALaterMenuBuilds)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(0);
    HMENU destroyed = CreatePopupMenu();
    DestroyMenu(destroyed);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (HMENU notMenu : { destroyed, reinterpret_cast<HMENU>(window), reinterpret_cast<HMENU>(UINT_PTR(0x1234)) }) {
        MenuRun run({ file });
        EXPECT_EQ(kNothing, run.QueryRange(kFirst, kFirst + 200, CMF_NORMAL, notMenu));
        EXPECT_EQ(-1, run.Handler()->GetCommandMap().typeCmd);
        EXPECT_EQ(kClaimed, run.Query());
        EXPECT_EQ(InShellMenu("\"E&xtension: mvt\" @0\n"), run.Tree());
    }
    DestroyWindow(window);
}

TEST_F(ContextMenu, ASecondRequestAddsNothingClaimsNothingAndKeepsTheMap)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(kInfo);
    MenuRun run({ file });
    EXPECT_EQ(kClaimed, run.Query());
    std::string first = run.Tree(), map = run.Map();
    StoreSettings(0);
    EXPECT_EQ(kNothing, run.Query());
    EXPECT_EQ(first, run.Tree());
    EXPECT_EQ(map, run.Map());
}

TEST_F(ContextMenu, WithoutInitializeThereIsNoItemUntilASelectionArrives)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(0);
    MenuRun run({}, false);
    EXPECT_EQ(kNothing, run.Query());
    EXPECT_EQ(InShellMenu(""), run.Tree());
    EXPECT_EQ(S_OK, run.Handler()->Initialize(nullptr, ShellDataObject({ file }), nullptr));
    EXPECT_EQ(kClaimed, run.Query());
    EXPECT_EQ(InShellMenu("\"E&xtension: mvt\" @0\n"), run.Tree());

    // A data object without a file list gives nothing, and claims nothing.
    MenuRun empty({}, false);
    EXPECT_EQ(S_OK, empty.Handler()->Initialize(nullptr, EmptyDataObject(), nullptr));
    EXPECT_EQ(kNothing, empty.Query());
    EXPECT_EQ(InShellMenu(""), empty.Tree());
}

// Two threads ask one handler for its menu at once, each with a menu of its own: exactly one of
// them gets the item.
TEST_F(ContextMenu, TwoThreadsAtOnceBuildOneMenu)
{
    std::wstring file = MakeFile(L"report.mvt");
    StoreSettings(kInfo);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        MenuRun run({ file });
        struct Call { IContextMenu* handler; HANDLE start; HMENU menu; HRESULT result; } calls[2];
        CKernelHandle start(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        CKernelHandle threads[2];
        for (Call& call : calls) {
            call = { run.Menu(), start, CreatePopupMenu(), E_PENDING };
            threads[&call - calls].Attach(CreateThread(nullptr, 0, [](void* p) -> DWORD {
                Call& c = *static_cast<Call*>(p);
                WaitForSingleObject(c.start, 10000);
                c.result = c.handler->QueryContextMenu(c.menu, 0, kFirst, kFirst + 200, CMF_NORMAL);
                return 0;
            }, &call, 0, nullptr));
            ASSERT_TRUE(threads[&call - calls].IsValid());
        }
        SetEvent(start);
        HANDLE both[] = { threads[0].Get(), threads[1].Get() };
        ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 10000));
        std::multiset<HRESULT> results = { calls[0].result, calls[1].result };
        EXPECT_EQ((std::multiset<HRESULT>{ kNothing, kClaimed }), results);
        EXPECT_EQ(1, GetMenuItemCount(calls[0].menu) + GetMenuItemCount(calls[1].menu));
        for (Call& call : calls)
            DestroyMenu(call.menu);
    }
}

TEST_F(ContextMenu, ASecondInitializeKeepsTheFirstSelection)
{
    std::wstring first = MakeFile(L"first.mvt"), second = MakeFile(L"second.zq1");
    StoreSettings(0);
    MenuRun run({ first });
    CComPtr<IDataObject> other = ShellDataObject({ second });
    EXPECT_EQ(S_OK, run.Handler()->Initialize(nullptr, other, nullptr));
    EXPECT_EQ(kClaimed, run.Query());
    EXPECT_EQ(InShellMenu("\"E&xtension: mvt\" @0\n"), run.Tree());
}

TEST_F(ContextMenu, LongTextsAreCutToTheirLines)
{
    std::wstring extension(120, L'e');
    std::wstring file = m_dir.MakeFile(L"long." + extension);
    StoreSettings(kInfo);
    MenuRun longExtension({ file });
    EXPECT_EQ(kClaimed, longExtension.Query());
    // The label and the type line are cut to 99 characters, the type name to 79.
    EXPECT_EQ(InShellMenu(Popup("E&xtension: " + std::string(87, 'e'),
                                "\"Type:\\t" + std::string(79, 'E') + "...\" @1 default\n")),
              longExtension.Tree());

    std::wstring document = m_dir / L"long.mvt";
    ASSERT_EQ(S_OK, CreateCompoundDocument(document, { std::string(150, 't').c_str(), nullptr, "Ann" }));
    StoreSettings(kInfo | OptFileSummary);
    MenuRun longTitle({ document });
    EXPECT_EQ(kClaimed, longTitle.Query());
    EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n"
                                    "\"Title:\\t" + std::string(92, 't') + "\" @38 disabled\n"
                                    "\"Subject:\\t<not set>\" @39 disabled\n"
                                    "\"Author:\\tAnn\" @40 disabled\n"
                                    "\"Keywords:\\t<not set>\" @41 disabled\n"
                                    "\"Comments:\\t<not set>\" @42 disabled\n")),
              longTitle.Tree());
}

// Wine's file system drops the attributes of cloud placeholders: this reader adds them to the
// find data the file list reads.
DWORD g_cloudAttributes = 0;
HANDLE WINAPI FindWithCloudAttributes(LPCWSTR path, LPWIN32_FIND_DATAW data)
{
    HANDLE find = FindFirstFileW(path, data);
    if (find != INVALID_HANDLE_VALUE)
        data->dwFileAttributes |= g_cloudAttributes;
    return find;
}

TEST_F(ContextMenu, AnOnlineOnlyFileKeepsItsFindDataAndTypeLinesButIsNeverOpened)
{
    std::wstring document = m_dir / L"budget.mvt";
    ASSERT_EQ(S_OK, CreateCompoundDocument(document, { "Budget 2005", nullptr, "Ann" }));
    std::wstring target = m_dir.MakeFile(L"tool.exe");
    std::wstring link = m_dir / L"tool.lnk";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"", m_dir.Path()));
    StoreSettings(kInfo | OptAttributes | OptFileSummary | OptShortcutInfo);
    SetFindDataReader(&FindWithCloudAttributes);
    // Recall on data access (0x400000), recall on open (0x40000), offline (0x1000).
    for (DWORD cloud : { 0x400000u, 0x40000u, 0x1000u }) {
        g_cloudAttributes = cloud;
        MenuRun onlineDocument({ document });
        EXPECT_EQ(kClaimed, onlineDocument.Query());
        EXPECT_EQ(InShellMenu(Popup("E&xtension: mvt", std::string(kTypeLine) + "----\n" + kAttributeItemsArchive)),
                  onlineDocument.Tree()) << std::hex << cloud;
        MenuRun onlineLink({ link });
        EXPECT_EQ(kClaimed, onlineLink.Query());
        EXPECT_EQ(InShellMenu(Popup("E&xtension: lnk",
                                    "\"Type:\\t" + ShortcutTypeName() + "...\" @1 default\n----\n" + kAttributeItemsArchive)),
                  onlineLink.Tree()) << std::hex << cloud;
        EXPECT_EQ(33, onlineLink.Handler()->GetCommandMap().linkLocateCmd);
    }
    // The same files on the disk show both groups.
    g_cloudAttributes = 0;
    MenuRun localDocument({ document });
    EXPECT_EQ(kClaimed, localDocument.Query());
    EXPECT_NE(std::string::npos, localDocument.Tree().find("Title:\\tBudget 2005"));
    MenuRun localLink({ link });
    EXPECT_EQ(kClaimed, localLink.Query());
    EXPECT_EQ(36, localLink.Handler()->GetCommandMap().linkLocateCmd);
    SetFindDataReader(nullptr);
}

}

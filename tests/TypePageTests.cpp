// The Type page of the real sheet: the registered types of the prefix's HKEY_CLASSES_ROOT, the
// user's typing, clicks and menu, and the file names and registry values left afterwards.
#include <gtest/gtest.h>
#include "Guids.h"
#include "InfoSheet.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "TestSupport.h"
#include "TypePageRes.h"
#include <algorithm>
#include <memory>
#include <set>

namespace {

const wchar_t kInvalid[] = L"Invalid extension specified.";
const wchar_t kHandlerKey[] = L"\\shellex\\ContextMenuHandlers\\MorvaneMenu";

// The types every test adds. Names and extensions differ in case, so that an ordinal comparison
// would sort them otherwise than the page must.
const struct {
    const wchar_t* ext;
    const wchar_t* progId;
    const wchar_t* typeName;
} kTypes[] = {
    { L".mvta", L"Morvane.TestA", L"alpha Morvane Document" },
    { L".MvTb", L"Morvane.TestB", L"Beta Morvane Sheet" },
    { L".mvtc", L"Morvane.TestC", L"gamma Morvane Picture" },
};

// Key names of 100 characters and more, one before every extension key and two extensions.
const std::wstring kLongKeys[] = { L"!Morvane" + std::wstring(150, L'k'), L".!" + std::wstring(120, L'e'),
                                   L".!" + std::wstring(253, L'f') };

std::wstring HandlerClassId()
{
    wchar_t text[40] = {};
    StringFromGUID2(CLSID_MorvaneMenuHandler, text, ARRAYSIZE(text));
    return text;
}

struct Row {
    std::wstring type, ext;
    LPARAM data = -1;
};

class TypePage : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        for (const auto& type : kTypes)
            RegisterFileType(type.ext, type.progId, type.typeName, false);
    }
    void TearDown() override
    {
        m_sheet.reset();
        m_parameters.reset();
        for (const auto& type : kTypes) {
            DeleteTree(HKEY_CLASSES_ROOT, type.ext);
            DeleteTree(HKEY_CLASSES_ROOT, type.progId);
        }
        for (const auto& key : kLongKeys)
            DeleteTree(HKEY_CLASSES_ROOT, key);
        ClearSettings();
    }

    // A fresh handler's sheet on the named files of the test folder, open on the Type page.
    CSheetDriver& Open(const std::vector<std::wstring>& names)
    {
        m_sheet.reset();
        std::vector<std::wstring> paths;
        for (const auto& name : names)
            paths.push_back(GetFileAttributesW((*m_dir / name).c_str()) == INVALID_FILE_ATTRIBUTES ? m_dir->MakeFile(name)
                                                                                               : *m_dir / name);
        m_parameters = std::make_unique<Parameters>();
        m_parameters->GetFileList(ShellDataObject(paths));
        m_sheet = std::make_unique<CSheetDriver>(InfoSheetAt(*m_parameters, InfoPage::Type));
        EXPECT_TRUE(m_sheet->Opened());
        return *m_sheet;
    }

    std::vector<Row> Rows() const
    {
        std::vector<Row> rows;
        int count = int(m_sheet->Send(IDC_TYPE_LIST, LVM_GETITEMCOUNT));
        for (int i = 0; i < count; ++i)
            rows.push_back(RowAt(i));
        return rows;
    }
    Row RowAt(int index) const
    {
        Row row;
        wchar_t text[300] = {};
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = text;
        item.cchTextMax = ARRAYSIZE(text);
        m_sheet->Send(IDC_TYPE_LIST, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        row.type = text;
        row.data = item.lParam;
        item.iSubItem = 1;
        m_sheet->Send(IDC_TYPE_LIST, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
        row.ext = text;
        return row;
    }
    int ItemOf(const std::wstring& ext) const
    {
        std::vector<Row> rows = Rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].ext == ext)
                return int(i);
        return -1;
    }
    // The selected item's extension, or "<none>".
    std::wstring SelectedExt() const
    {
        int item = int(m_sheet->Send(IDC_TYPE_LIST, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        return item < 0 ? L"<none>" : RowAt(item).ext;
    }
    int ColumnWidth(int column) const { return int(m_sheet->Send(IDC_TYPE_LIST, LVM_GETCOLUMNWIDTH, column)); }

    // A click of the mouse's button at the centre of a rectangle of the control.
    static void ClickAt(HWND control, const RECT& where, UINT down, UINT up)
    {
        LPARAM point = MAKELPARAM((where.left + where.right) / 2, (where.top + where.bottom) / 2);
        PostMessageW(control, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, point);
        PostMessageW(control, up, 0, point);
    }
    void ClickItem(int index, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP)
    {
        m_sheet->Send(IDC_TYPE_LIST, LVM_ENSUREVISIBLE, index, FALSE);
        RECT bounds = {};
        bounds.left = LVIR_LABEL;
        m_sheet->Send(IDC_TYPE_LIST, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&bounds));
        ClickAt(m_sheet->Item(IDC_TYPE_LIST), bounds, down, up);
    }
    // A click on a column's header, with Shift held down on the sheet's thread or not.
    void ClickHeader(int column, bool shift)
    {
        HWND header = reinterpret_cast<HWND>(m_sheet->Send(IDC_TYPE_LIST, LVM_GETHEADER));
        RECT bounds = {};
        SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&bounds));
        DWORD sheetThread = GetWindowThreadProcessId(m_sheet->Sheet(), nullptr);
        AttachThreadInput(GetCurrentThreadId(), sheetThread, TRUE);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        ClickAt(header, bounds, WM_LBUTTONDOWN, WM_LBUTTONUP);
        m_sheet->Sync();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        AttachThreadInput(GetCurrentThreadId(), sheetThread, FALSE);
    }

    // The popup menu the sheet's thread tracks, or null when none shows within the time.
    HWND WaitForMenu(DWORD timeoutMs = 5000) const
    {
        DWORD thread = GetWindowThreadProcessId(m_sheet->Sheet(), nullptr);
        HWND found = nullptr;
        WaitUntil(timeoutMs, [&] {
            EnumThreadWindows(thread, [](HWND window, LPARAM param) {
                wchar_t name[16] = {};
                GetClassNameW(window, name, ARRAYSIZE(name));
                if (IsWindowVisible(window) && !lstrcmpW(name, L"#32768")) {
                    *reinterpret_cast<HWND*>(param) = window;
                    return FALSE;
                }
                return TRUE;
            }, reinterpret_cast<LPARAM>(&found));
            return found != nullptr;
        });
        return found;
    }

    std::unique_ptr<CTempDir> m_dir = std::make_unique<CTempDir>(L"type page");
    std::unique_ptr<Parameters> m_parameters;
    std::unique_ptr<CSheetDriver> m_sheet;
};

TEST_F(TypePage, ListsTypeNameAndExtensionWithTheRecordIndex)
{
    Open({ L"x.mvta" });
    wchar_t title[32] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = ARRAYSIZE(title);
    std::vector<std::wstring> titles;
    for (int i = 0; m_sheet->Send(IDC_TYPE_LIST, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)); ++i)
        titles.push_back(title);
    EXPECT_EQ((std::vector<std::wstring>{ L"Type", L"Ext" }), titles);

    std::vector<Row> rows = Rows();
    for (const auto& type : kTypes) {
        int item = ItemOf(type.ext + 1);
        ASSERT_GE(item, 0) << type.ext;
        EXPECT_EQ(type.typeName, rows[item].type);
    }
    // Each item carries its record's index: all different, from 0 on.
    std::set<LPARAM> indices;
    for (const Row& row : rows)
        indices.insert(row.data);
    EXPECT_EQ(rows.size(), indices.size());
    EXPECT_EQ(0, *indices.begin());
    EXPECT_EQ(LPARAM(rows.size() - 1), *indices.rbegin());
    EXPECT_TRUE(GetWindowLongW(m_sheet->Item(IDC_TYPE_LIST), GWL_STYLE) & LVS_SHOWSELALWAYS);
}

// Key names of 100 to 255 characters, one of them before every extension key, end nothing.
TEST_F(TypePage, ListsEveryRegisteredTypePastLongKeyNames)
{
    for (const auto& key : kLongKeys)
        RegisterFileType(key, L"Morvane.TestA", L"alpha Morvane Document", false);
    std::multiset<std::wstring> registered;
    for (const auto& key : SubKeys(HKEY_CLASSES_ROOT, L""))
        if (key[0] == L'.')
            registered.insert(key.substr(1));
    ASSERT_TRUE(registered.count(kLongKeys[2].substr(1)));
    Open({ L"x.mvta" });
    std::multiset<std::wstring> listed;
    for (const Row& row : Rows())
        listed.insert(row.ext);
    EXPECT_EQ(registered, listed);
}

// What the edit shows and which type is selected after typing; the caret ends up at the end.
TEST_F(TypePage, TypingFollowsTheList)
{
    const struct {
        const wchar_t* typed;
        const wchar_t* edit;
        const wchar_t* selected;
    } cases[] = {
        { nullptr, L"mvta", L"mvta" },
        { L".mvtc", L"mvtc", L"mvtc" },
        { L"..mvtc", L"mvtc", L"mvtc" },
        { L"MVTB", L"MvTb", L"MvTb" },
        { L"MVTA", L"mvta", L"mvta" },
        { L"nosuchtype", L"nosuchtype", L"<none>" },
        { L"", L"", L"<none>" },
    };
    for (const auto& c : cases) {
        CSheetDriver& sheet = Open({ L"x.mvta" });
        if (c.typed)
            sheet.SetText(IDC_TYPE_EXTENSION, c.typed);
        EXPECT_EQ(c.edit, sheet.Text(IDC_TYPE_EXTENSION)) << c.edit;
        EXPECT_EQ(c.selected, SelectedExt()) << c.edit;
        if (c.typed && *c.selected != L'<') {
            DWORD start = 0, end = 0;
            sheet.Send(IDC_TYPE_EXTENSION, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(DWORD(lstrlenW(c.edit)), start) << c.edit;
            EXPECT_EQ(start, end) << c.edit;
        }
    }
}

TEST_F(TypePage, ClickingATypePutsItsExtensionIntoTheEdit)
{
    CSheetDriver& sheet = Open({ L"x.txt" });
    ClickItem(ItemOf(L"MvTb"));
    sheet.Sync();
    EXPECT_EQ(L"MvTb", SelectedExt());
    EXPECT_EQ(L"MvTb", sheet.Text(IDC_TYPE_EXTENSION));
}

// Header clicks in turn on one sheet: ascending, or descending with Shift, without regard to case.
TEST_F(TypePage, HeaderClickSortsByThatColumn)
{
    const struct {
        int column;
        bool shift;
        std::vector<std::wstring> order;
    } clicks[] = {
        { 1, true, { L"mvtc", L"MvTb", L"mvta" } },
        { 1, false, { L"mvta", L"MvTb", L"mvtc" } },
        { 0, true, { L"mvtc", L"MvTb", L"mvta" } },
        { 0, false, { L"mvta", L"MvTb", L"mvtc" } },
    };
    Open({ L"x.mvta" });
    for (const auto& click : clicks) {
        ClickHeader(click.column, click.shift);
        std::vector<std::wstring> order;
        for (const Row& row : Rows())
            for (const auto& type : kTypes)
                if (row.ext == type.ext + 1)
                    order.push_back(row.ext);
        EXPECT_EQ(click.order, order) << click.column << " shift " << click.shift;
        EXPECT_EQ(L"mvta", SelectedExt());
    }
}

// A right-click on a type shows "Types" with "Register" checked as the registry says; choosing it
// toggles the handler's key for that type alone.
TEST_F(TypePage, RegisterTogglesTheHandlerOfTheSelectedType)
{
    const std::wstring classId = HandlerClassId();
    std::wstring lower = classId;
    CharLowerW(&lower[0]);
    const std::wstring key = std::wstring(L"Morvane.TestB") + kHandlerKey;
    const struct {
        const wchar_t* file;
        bool onItem;            // right-click on the type, or the menu key with nothing selected
        const wchar_t* stored;  // null: no handler key
        bool checked;
        const wchar_t* after;
    } cases[] = {
        { L"x.txt", true, nullptr, false, classId.c_str() },
        { L"x.txt", true, classId.c_str(), true, nullptr },
        { L"x.txt", true, L"{00000000-0000-0000-0000-000000000000}", false, classId.c_str() },
        { L"x.txt", true, lower.c_str(), false, classId.c_str() },
        { L"x.MvTb", false, classId.c_str(), true, nullptr },
        { L"x.none", false, classId.c_str(), false, classId.c_str() },
    };
    for (const auto& c : cases) {
        DeleteTree(HKEY_CLASSES_ROOT, L"Morvane.TestB\\shellex");
        if (c.stored)
            WriteString(HKEY_CLASSES_ROOT, key, nullptr, c.stored);
        CSheetDriver& sheet = Open({ c.file });
        if (c.onItem)
            ClickItem(ItemOf(L"MvTb"), WM_RBUTTONDOWN, WM_RBUTTONUP);
        else
            PostMessageW(sheet.Page(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(sheet.Page()), MAKELPARAM(-1, -1));
        HWND menu = WaitForMenu();
        ASSERT_TRUE(menu) << c.file;
        HMENU popup = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        EXPECT_EQ(c.checked, (GetMenuState(popup, ID_TYPE_REGISTER, MF_BYCOMMAND) & MF_CHECKED) != 0) << c.file;
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        sheet.Sync();
        // One menu for one right-click; a second one is closed so that the sheet can end.
        HWND second = WaitForMenu(500);
        EXPECT_FALSE(second) << c.file;
        if (second) {
            PostMessageW(second, WM_KEYDOWN, VK_ESCAPE, 0);
            sheet.Sync();
        }
        std::wstring value;
        bool present = ReadString(HKEY_CLASSES_ROOT, key, nullptr, value);
        EXPECT_EQ(c.after != nullptr, present) << c.file;
        if (c.after) {
            EXPECT_EQ(c.after, value) << c.file;
        }
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"Morvane.TestA") + kHandlerKey));
        sheet.Press(PSBTN_CANCEL);
        ASSERT_TRUE(sheet.WaitClosed());
    }
    DeleteTree(HKEY_CLASSES_ROOT, L"Morvane.TestB\\shellex");
}

// The column widths opened from a stored "Widths", and what OK writes back: the current widths,
// the third equal to the second. Cancel writes nothing.
TEST_F(TypePage, WidthsAreReadAndWrittenBack)
{
    const int kDefault = -1;  // the list's width less 80
    const struct {
        const wchar_t* stored;  // null: no value
        int type, ext;
        int resizeExt;          // 0: left as opened
        int button;
        const wchar_t* written;  // null: as opened; "" no value
    } cases[] = {
        { L"300,50,50", 300, 50, 0, PSBTN_OK, L"300,50,50" },
        { nullptr, kDefault, 64, 0, PSBTN_OK, nullptr },
        { L"120", 120, 64, 0, PSBTN_OK, L"120,64,64" },
        { L" 200, +70,9", 200, 70, 0, PSBTN_OK, L"200,70,70" },
        { L"x,50,50", kDefault, 64, 0, PSBTN_OK, nullptr },
        { L"300,50,50", 300, 50, 90, PSBTN_OK, L"300,90,90" },
        { nullptr, kDefault, 64, 90, PSBTN_CANCEL, L"" },
    };
    for (const auto& c : cases) {
        ClearSettings();
        if (c.stored)
            WriteString(HKEY_CURRENT_USER, kSettingsKey, kValueWidths, c.stored);
        CSheetDriver& sheet = Open({ L"x.mvta" });
        HWND list = sheet.Item(IDC_TYPE_LIST);
        RECT client = {};
        GetClientRect(list, &client);
        if (GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL)
            client.right += GetSystemMetrics(SM_CXVSCROLL);
        int type = c.type == kDefault ? int(client.right) - 80 : c.type;
        EXPECT_EQ(type, ColumnWidth(0)) << c.stored;
        EXPECT_EQ(c.ext, ColumnWidth(1)) << c.stored;
        if (c.resizeExt)
            sheet.Send(IDC_TYPE_LIST, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(c.resizeExt, 0));
        sheet.Press(c.button);
        ASSERT_TRUE(sheet.WaitClosed());
        std::wstring written;
        bool present = ReadString(HKEY_CURRENT_USER, kSettingsKey, kValueWidths, written);
        std::wstring expected = c.written ? c.written : std::to_wstring(type) + L"," + std::to_wstring(c.ext) + L","
                                                            + std::to_wstring(c.ext);
        EXPECT_EQ(expected.empty() ? L"<none>" : expected, present ? written : L"<none>") << c.stored;
    }
}

// Leaving the page, and OK, check a trimmed copy of the text: a refused text keeps the sheet on
// the page and renames nothing.
TEST_F(TypePage, LeavingChecksTheExtension)
{
    const struct {
        const wchar_t* typed;
        bool refused;
    } cases[] = {
        { L"a.b", true }, { L"a*", true }, { L"a:b", true }, { L" a/b ", true }, { L"x|y", true }, { L"a\\b", true },
        { L"a?", true }, { L"<b>", true }, { L"*", false }, { L" txt ", false }, { L"", false }, { L"doc", false },
    };
    for (const auto& c : cases) {
        CSheetDriver& sheet = Open({ L"x.mvta" });
        sheet.SetText(IDC_TYPE_EXTENSION, c.typed);
        sheet.SelectTab(1);
        EXPECT_EQ(c.refused ? 0 : 1, sheet.CurrentTab()) << c.typed;
        std::vector<SeenDialog> seen = sheet.Seen();
        ASSERT_EQ(c.refused ? 1u : 0u, seen.size()) << c.typed;
        if (c.refused) {
            EXPECT_EQ(L"Morvane", seen[0].caption);
            EXPECT_EQ(kInvalid, seen[0].text);
            EXPECT_EQ(std::vector<std::wstring>{ L"OK" }, seen[0].buttons);
            sheet.Press(PSBTN_OK);
            EXPECT_FALSE(sheet.WaitClosed(300)) << c.typed;
            EXPECT_EQ(2u, sheet.Seen().size()) << c.typed;
        }
        sheet.Press(PSBTN_CANCEL);
        ASSERT_TRUE(sheet.WaitClosed());
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((*m_dir / L"x.mvta").c_str())) << c.typed;
    }
}

// The files' names after the texts typed, each followed by Apply or all by OK, or by Cancel.
TEST_F(TypePage, OkAndApplyRenameToTheTypedExtension)
{
    const struct {
        std::vector<std::wstring> files;
        std::vector<const wchar_t*> typed;
        int button;
        std::vector<std::wstring> after;
        bool closeOnly;  // after Apply, Cancel has become Close
    } cases[] = {
        { { L"a.txt" }, { L"doc" }, PSBTN_OK, { L"a.doc" } },
        { { L"a.txt" }, { L" doc " }, PSBTN_OK, { L"a.doc" } },
        { { L"a.txt" }, { L"\tdoc " }, PSBTN_APPLYNOW, { L"a.doc" }, true },
        { { L"a.txt" }, { L"" }, PSBTN_OK, { L"a" } },
        { { L"notes" }, {}, PSBTN_OK, { L"notes" } },
        { { L"a.txt", L"b.TXT" }, {}, PSBTN_APPLYNOW, { L"a.txt", L"b.TXT" }, false },
        { { L"a.txt", L"b.TXT" }, { L"MVTB" }, PSBTN_APPLYNOW, { L"a.MvTb", L"b.MvTb" }, true },
        { { L"a.txt" }, { L".mvta" }, PSBTN_OK, { L"a.mvta" } },
        { { L"a.txt" }, { L"doc", L"txt" }, PSBTN_APPLYNOW, { L"a.txt" }, true },
        { { L"a.txt" }, { L"doc" }, PSBTN_CANCEL, { L"a.txt" } },
    };
    for (const auto& c : cases) {
        m_sheet.reset();
        m_parameters.reset();
        m_dir = std::make_unique<CTempDir>(L"rename");
        CSheetDriver& sheet = Open(c.files);
        for (const wchar_t* typed : c.typed) {
            sheet.SetText(IDC_TYPE_EXTENSION, typed);
            if (c.button == PSBTN_APPLYNOW)
                sheet.Press(PSBTN_APPLYNOW);
        }
        if (c.button == PSBTN_APPLYNOW) {
            EXPECT_EQ(!c.closeOnly, IsWindowEnabled(GetDlgItem(sheet.Sheet(), IDCANCEL)) != FALSE) << c.after[0];
            sheet.Press(PSBTN_CANCEL);
        } else {
            sheet.Press(c.button);
        }
        ASSERT_TRUE(sheet.WaitClosed());
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found = {};
        HANDLE search = FindFirstFileW((*m_dir / L"*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(c.after, names) << c.after[0];
    }
}

// A run of leading dots goes in one step, however long: the text settles as if typed without them.
TEST_F(TypePage, EveryLeadingDotGoesAtOnce)
{
    for (size_t dots : { size_t(2), size_t(40), size_t(10000) }) {
        CSheetDriver& sheet = Open({ L"x.txt" });
        sheet.SetText(IDC_TYPE_EXTENSION, std::wstring(dots, L'.') + L"mvtc");
        EXPECT_EQ(L"mvtc", sheet.Text(IDC_TYPE_EXTENSION)) << dots;
        EXPECT_EQ(L"mvtc", SelectedExt()) << dots;
        sheet.Press(PSBTN_CANCEL);
        ASSERT_TRUE(sheet.WaitClosed());
    }
}

// A new extension that would make a name longer than 255 characters renames nothing and keeps the
// page with a message naming the limit; a name within it is renamed, even where the whole path is
// longer than the shell's plain paths hold.
TEST_F(TypePage, ExtensionsThatMakeANameTooLongAreRefused)
{
    const std::wstring name150(150, L'n');
    const struct {
        std::vector<std::wstring> files;
        std::wstring typed;
        int button;
        bool refused;
    } cases[] = {
        { { L"a.txt" }, std::wstring(1000, L'a'), PSBTN_OK, true },
        { { L"a.txt" }, std::wstring(10000, L'a'), PSBTN_APPLYNOW, true },
        { { L"x.txt" }, std::wstring(253, L'e'), PSBTN_OK, false },
        { { L"x.txt" }, std::wstring(254, L'e'), PSBTN_OK, true },
        { { L"x.txt", name150 + L".txt" }, std::wstring(105, L'e'), PSBTN_OK, true },
        { { name150 + L".txt" }, std::wstring(104, L'e'), PSBTN_OK, false },
    };
    for (const auto& c : cases) {
        m_sheet.reset();
        m_parameters.reset();
        m_dir = std::make_unique<CTempDir>(L"long names");
        CSheetDriver& sheet = Open(c.files);
        sheet.SetText(IDC_TYPE_EXTENSION, c.typed);
        sheet.Press(c.button);
        std::vector<SeenDialog> seen = sheet.Seen();
        ASSERT_EQ(c.refused ? 1u : 0u, seen.size()) << c.typed.size();
        if (c.refused) {
            EXPECT_NE(std::wstring::npos, seen[0].text.find(L"255")) << seen[0].text;
            EXPECT_FALSE(sheet.WaitClosed(300)) << c.typed.size();
        }
        sheet.Press(PSBTN_CANCEL);
        ASSERT_TRUE(sheet.WaitClosed());
        for (const auto& file : c.files) {
            std::wstring renamed = file.substr(0, file.rfind(L'.') + 1) + c.typed;
            EXPECT_EQ(c.refused, GetFileAttributesW((*m_dir / file).c_str()) != INVALID_FILE_ATTRIBUTES) << file;
            EXPECT_EQ(!c.refused, GetFileAttributesW((L"\\\\?\\" + (*m_dir / renamed)).c_str()) != INVALID_FILE_ATTRIBUTES)
                << c.typed.size();
        }
    }
}

}

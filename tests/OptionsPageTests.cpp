// The Options page on the real sheet: the user's clicks and typing, and what the settings key holds
// afterwards.
#include <gtest/gtest.h>
#include "InfoSheet.h"
#include "OptionsPageRes.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "TestSupport.h"
#include <set>

namespace {

const wchar_t kInvalidChar[] = L"Invalid character in file extension.";
const wchar_t kTooMany[] = L"A maximum of 10 extensions can be specified.";
const DWORD kSixteenBits = 0x1FFE27;  // bits 0, 1, 2, 5 and 9 to 20

// Every box with the bit it stands for.
const struct {
    int id;
    DWORD bit;
} kBoxes[] = {
    { IDC_OPTIONS_ATTRIBUTES, 0x1 }, { IDC_OPTIONS_FILEDETAILS, 0x2 }, { IDC_OPTIONS_SHORTCUTINFO, 0x4 },
    { IDC_OPTIONS_ADDITIONALINFO, 0x20 }, { IDC_OPTIONS_QUICKEXTS, 0x200 }, { IDC_OPTIONS_TYPEICONS, 0x400 },
    { IDC_OPTIONS_COPYMENU, 0x800 }, { IDC_OPTIONS_OPTIONSMENU, 0x1000 }, { IDC_OPTIONS_QUICKEXTS_SUB, 0x2000 },
    { IDC_OPTIONS_ABOUTMENU, 0x4000 }, { IDC_OPTIONS_FILESUMMARY, 0x8000 }, { IDC_OPTIONS_FILESUMMARY_SUB, 0x10000 },
    { IDC_OPTIONS_ATTRIBUTES_SUB, 0x20000 }, { IDC_OPTIONS_COPYMENU_SUB, 0x40000 },
    { IDC_OPTIONS_FILEDETAILS_SUB, 0x80000 }, { IDC_OPTIONS_SHORTCUTINFO_SUB, 0x100000 },
};

const int kListControls[] = { IDC_OPTIONS_QUICKLIST, IDC_OPTIONS_ADD, IDC_OPTIONS_REMOVE, IDC_OPTIONS_UP,
                              IDC_OPTIONS_DOWN, IDC_OPTIONS_SAVE, IDC_OPTIONS_REFRESH };

class OptionsPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        m_file = m_dir.MakeFile(L"note.txt");
        m_parameters.GetFileList(ShellDataObject({ m_file }));
        ASSERT_NE(nullptr, m_parameters.GetFileList());
    }
    void TearDown() override { ClearSettings(); }

    std::function<void()> ShowOptions() { return InfoSheetAt(m_parameters, InfoPage::Options); }

    static std::vector<std::wstring> Entries(CSheetDriver& sheet)
    {
        std::vector<std::wstring> entries;
        LRESULT count = sheet.Send(IDC_OPTIONS_QUICKLIST, CB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[MAX_PATH] = {};
            if (sheet.Send(IDC_OPTIONS_QUICKLIST, CB_GETLBTEXTLEN, WPARAM(i)) < LRESULT(ARRAYSIZE(text)))
                sheet.Send(IDC_OPTIONS_QUICKLIST, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    // Selects an entry as a click in the list does: the combo box tells its page of the change.
    static void SelectEntry(CSheetDriver& sheet, int index)
    {
        sheet.Send(IDC_OPTIONS_QUICKLIST, CB_SETCURSEL, WPARAM(index));
        sheet.Notify(IDC_OPTIONS_QUICKLIST, CBN_SELCHANGE);
    }
    static void Add(CSheetDriver& sheet, const std::wstring& typed)
    {
        sheet.SetText(IDC_OPTIONS_QUICKLIST, typed);
        sheet.Click(IDC_OPTIONS_ADD);
        sheet.Sync();
    }
    static bool Checked(CSheetDriver& sheet, int id) { return sheet.Send(id, BM_GETCHECK) == BST_CHECKED; }
    static std::set<int> DisabledBoxes(CSheetDriver& sheet)
    {
        std::set<int> disabled;
        for (const auto& box : kBoxes)
            if (!IsWindowEnabled(sheet.Item(box.id)))
                disabled.insert(box.id);
        for (int id : kListControls)
            if (!IsWindowEnabled(sheet.Item(id)))
                disabled.insert(id);
        return disabled;
    }

    CTempDir m_dir;
    std::wstring m_file;
    Parameters m_parameters;
};

TEST_F(OptionsPageTest, ShowsEveryStoredBitAndEntry)
{
    const DWORD stored = OptAdditionalInfo | OptCopyMenu | OptFileSummarySubmenu | OptTypeIcons | OptShortcutInfoSubmenu;
    StoreSettings(stored, L"txt;;bak");
    CSheetDriver sheet(ShowOptions());
    ASSERT_TRUE(sheet.Opened());
    EXPECT_EQ(L"Options", sheet.Tabs()[sheet.CurrentTab()]);
    for (const auto& box : kBoxes)
        EXPECT_EQ((stored & box.bit) != 0, Checked(sheet, box.id)) << box.id;
    EXPECT_EQ(L"\"About\" Menu", sheet.Text(IDC_OPTIONS_ABOUTMENU));
    EXPECT_EQ((std::vector<std::wstring>{ L"txt", L"", L"bak" }), Entries(sheet));
}

// Pressing OK or Apply writes the boxes as exactly the sixteen bits, and the list as it was read.
TEST_F(OptionsPageTest, OkAndApplySaveExactlyTheSixteenBits)
{
    const struct {
        bool storeFirst;
        DWORD stored;
        std::vector<int> clicks;
        int button;
        DWORD saved;
    } cases[] = {
        { false, 0, {}, PSBTN_OK, DefaultOptions & kSixteenBits },
        { true, 0xFFFFFFFF, {}, PSBTN_APPLYNOW, kSixteenBits },
        { true, 0xFFC0001F, {}, PSBTN_OK, 0x7 },
        { true, OptAdditionalInfo, { IDC_OPTIONS_COPYMENU, IDC_OPTIONS_COPYMENU_SUB }, PSBTN_APPLYNOW, 0x40820 },
        { true, kSixteenBits, { IDC_OPTIONS_ADDITIONALINFO }, PSBTN_OK, kSixteenBits & ~OptAdditionalInfo },
    };
    for (const auto& c : cases) {
        // A handler of its own for each case: a handler keeps its settings key open, and the key
        // is deleted here.
        ClearSettings();
        if (c.storeFirst)
            StoreSettings(c.stored, L"txt;;bak");
        Parameters parameters;
        parameters.GetFileList(ShellDataObject({ m_file }));
        CSheetDriver sheet(InfoSheetAt(parameters, InfoPage::Options));
        ASSERT_TRUE(sheet.Opened());
        for (int id : c.clicks)
            sheet.Click(id);
        sheet.Press(c.button);
        sheet.Sync();
        if (c.button == PSBTN_APPLYNOW) {
            // The settings are not the files': saving them leaves Cancel as it was.
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet.Sheet(), IDCANCEL)));
            sheet.Press(PSBTN_CANCEL);
        }
        ASSERT_TRUE(sheet.WaitClosed());
        EXPECT_EQ(c.saved, StoredOptions()) << std::hex << c.stored;
        EXPECT_EQ(c.storeFirst ? L"txt;;bak" : L"", StoredQuickExts()) << std::hex << c.stored;
    }
}

TEST_F(OptionsPageTest, CancelSavesNothing)
{
    StoreSettings(OptAdditionalInfo, L"txt");
    CSheetDriver sheet(ShowOptions());
    ASSERT_TRUE(sheet.Opened());
    sheet.Click(IDC_OPTIONS_COPYMENU);
    sheet.Click(IDC_OPTIONS_QUICKEXTS);
    Add(sheet, L"bak");
    sheet.Press(PSBTN_CANCEL);
    ASSERT_TRUE(sheet.WaitClosed());
    EXPECT_EQ(DWORD(OptAdditionalInfo), StoredOptions());
    EXPECT_EQ(L"txt", StoredQuickExts());
}

// Which controls are disabled for the stored bits after the clicks; the boxes keep their checks.
TEST_F(OptionsPageTest, BoxesFollowTheMasterSwitchAndTheirGroups)
{
    const std::set<int> upDown = { IDC_OPTIONS_UP, IDC_OPTIONS_DOWN };
    std::set<int> allButMaster = upDown;
    for (const auto& box : kBoxes)
        if (box.id != IDC_OPTIONS_ADDITIONALINFO)
            allButMaster.insert(box.id);
    allButMaster.insert({ IDC_OPTIONS_QUICKLIST, IDC_OPTIONS_ADD, IDC_OPTIONS_REMOVE });
    const std::set<int> quickOff = { IDC_OPTIONS_UP, IDC_OPTIONS_DOWN, IDC_OPTIONS_QUICKLIST, IDC_OPTIONS_ADD,
                                     IDC_OPTIONS_REMOVE, IDC_OPTIONS_QUICKEXTS_SUB };
    const std::set<int> groupsOff = { IDC_OPTIONS_UP, IDC_OPTIONS_DOWN, IDC_OPTIONS_ATTRIBUTES_SUB,
                                      IDC_OPTIONS_SHORTCUTINFO_SUB, IDC_OPTIONS_COPYMENU_SUB,
                                      IDC_OPTIONS_FILESUMMARY_SUB, IDC_OPTIONS_FILEDETAILS_SUB };
    const DWORD groups = OptAttributes | OptShortcutInfo | OptCopyMenu | OptFileSummary | OptFileDetails;
    const struct {
        DWORD stored;
        std::vector<int> clicks;
        std::set<int> disabled;
    } cases[] = {
        { kSixteenBits, {}, upDown },
        { kSixteenBits & ~OptAdditionalInfo, {}, allButMaster },
        { kSixteenBits, { IDC_OPTIONS_ADDITIONALINFO }, allButMaster },
        { kSixteenBits & ~OptAdditionalInfo, { IDC_OPTIONS_ADDITIONALINFO }, upDown },
        { kSixteenBits & ~OptQuickExts, {}, quickOff },
        { kSixteenBits, { IDC_OPTIONS_QUICKEXTS }, quickOff },
        { kSixteenBits & ~groups, {}, groupsOff },
        { kSixteenBits, { IDC_OPTIONS_ATTRIBUTES, IDC_OPTIONS_SHORTCUTINFO, IDC_OPTIONS_COPYMENU,
                          IDC_OPTIONS_FILESUMMARY, IDC_OPTIONS_FILEDETAILS }, groupsOff },
        { kSixteenBits & ~groups, { IDC_OPTIONS_COPYMENU }, [&] { auto s = groupsOff; s.erase(IDC_OPTIONS_COPYMENU_SUB); return s; }() },
    };
    for (const auto& c : cases) {
        StoreSettings(c.stored, L"txt;bak");
        CSheetDriver sheet(ShowOptions());
        ASSERT_TRUE(sheet.Opened());
        DWORD expectedChecks = c.stored;
        for (int id : c.clicks) {
            sheet.Click(id);
            for (const auto& box : kBoxes)
                if (box.id == id)
                    expectedChecks ^= box.bit;
        }
        sheet.Sync();
        EXPECT_EQ(c.disabled, DisabledBoxes(sheet)) << std::hex << c.stored << " clicks " << c.clicks.size();
        for (const auto& box : kBoxes)
            EXPECT_EQ((expectedChecks & box.bit) != 0, Checked(sheet, box.id)) << box.id;
        sheet.Press(PSBTN_OK);
        ASSERT_TRUE(sheet.WaitClosed());
        EXPECT_EQ(expectedChecks, StoredOptions());
    }
}

// Add on what was typed: the saved list, the message shown, and what the edit field keeps.
TEST_F(OptionsPageTest, AddCleansTheTypedExtension)
{
    const struct {
        const wchar_t* stored;
        const wchar_t* typed;
        const wchar_t* saved;
        const wchar_t* message;
        const wchar_t* edit;
        int selected;
    } cases[] = {
        { L"bak", L" .TXT\t", L"bak;txt", nullptr, L"", 1 },
        { L"bak", L"..txt", L"bak", kInvalidChar, L"..txt", -1 },
        { L"bak", L" A/B ", L"bak", kInvalidChar, L"a/b", -1 },
        { L"bak", L"x|y", L"bak", kInvalidChar, L"x|y", -1 },
        { L"bak", L"tx.t", L"bak", kInvalidChar, L"tx.t", -1 },
        { L"bak", L";", L"bak", kInvalidChar, L";", -1 },
        { L"bak", L"a;b", L"bak", kInvalidChar, L"a;b", -1 },
        { L"txt;;bak", L"htm", L"txt;;bak;htm", nullptr, L"", 3 },
        { L"TXT;bak", L".txt", L"TXT;bak", nullptr, L"", 0 },
        { L"bak", L" . ", L"bak", nullptr, L".", -1 },
        { L"", L"htm", L"htm", nullptr, L"", 0 },
        { L"a;b;c;d;e;f;g;h;i", L"j", L"a;b;c;d;e;f;g;h;i;j", nullptr, L"", 9 },
        { L"a;b;c;d;e;f;g;h;i;j", L"k", L"a;b;c;d;e;f;g;h;i;j", kTooMany, L"k", -1 },
        { L"a;b;c;d;e;f;g;h;i;j", L"a", L"a;b;c;d;e;f;g;h;i;j", kTooMany, L"a", -1 },
        { L"a;b;c;d;e;f;g;h;i;j;k;l", L"m", L"a;b;c;d;e;f;g;h;i;j;k;l", kTooMany, L"m", -1 },
    };
    for (const auto& c : cases) {
        StoreSettings(kSixteenBits, c.stored);
        CSheetDriver sheet(ShowOptions());
        ASSERT_TRUE(sheet.Opened());
        Add(sheet, c.typed);
        EXPECT_EQ(c.edit, sheet.Text(IDC_OPTIONS_QUICKLIST)) << c.typed;
        EXPECT_EQ(c.selected, int(sheet.Send(IDC_OPTIONS_QUICKLIST, CB_GETCURSEL))) << c.typed;
        std::vector<SeenDialog> seen = sheet.Seen();
        if (c.message) {
            ASSERT_EQ(1u, seen.size()) << c.typed;
            EXPECT_EQ(L"Morvane", seen[0].caption);
            EXPECT_EQ(c.message, seen[0].text);
            EXPECT_EQ(std::vector<std::wstring>{ L"OK" }, seen[0].buttons);
        } else {
            EXPECT_TRUE(seen.empty()) << c.typed;
        }
        sheet.Press(PSBTN_OK);
        ASSERT_TRUE(sheet.WaitClosed());
        EXPECT_EQ(c.saved, StoredQuickExts()) << c.typed;
    }
}

// Remove, Up and Down on the entry selected, and the Up and Down buttons they leave.
TEST_F(OptionsPageTest, RemoveUpAndDownReorderTheSavedList)
{
    const struct {
        int select;
        std::vector<int> clicks;
        const wchar_t* saved;
        bool upEnabled;
        bool downEnabled;
    } cases[] = {
        { -1, {}, L"a;b;c", false, false },
        { 0, {}, L"a;b;c", false, true },
        { 1, {}, L"a;b;c", true, true },
        { 2, { IDC_OPTIONS_UP }, L"a;c;b", true, true },
        { 2, { IDC_OPTIONS_UP, IDC_OPTIONS_UP }, L"c;a;b", false, true },
        { 0, { IDC_OPTIONS_DOWN, IDC_OPTIONS_DOWN }, L"b;c;a", true, false },
        { 0, { IDC_OPTIONS_UP }, L"a;b;c", false, true },
        { 1, { IDC_OPTIONS_REMOVE }, L"a;c", false, false },
        { 1, { IDC_OPTIONS_REMOVE, IDC_OPTIONS_UP, IDC_OPTIONS_DOWN, IDC_OPTIONS_REMOVE }, L"a;c", false, false },
        { -1, { IDC_OPTIONS_REMOVE }, L"a;b;c", false, false },
    };
    for (const auto& c : cases) {
        StoreSettings(kSixteenBits, L"a;b;c");
        CSheetDriver sheet(ShowOptions());
        ASSERT_TRUE(sheet.Opened());
        if (c.select >= 0)
            SelectEntry(sheet, c.select);
        for (int id : c.clicks)
            sheet.Click(id);
        sheet.Sync();
        EXPECT_EQ(c.upEnabled, bool(IsWindowEnabled(sheet.Item(IDC_OPTIONS_UP)))) << c.saved;
        EXPECT_EQ(c.downEnabled, bool(IsWindowEnabled(sheet.Item(IDC_OPTIONS_DOWN)))) << c.saved;
        sheet.Press(PSBTN_OK);
        ASSERT_TRUE(sheet.WaitClosed());
        EXPECT_EQ(c.saved, StoredQuickExts());
    }
}

TEST_F(OptionsPageTest, SaveWritesAtOnceAndCancelKeepsIt)
{
    CSheetDriver sheet(ShowOptions());
    ASSERT_TRUE(sheet.Opened());
    sheet.Click(IDC_OPTIONS_SAVE);
    sheet.Sync();
    EXPECT_EQ(DefaultOptions & kSixteenBits, StoredOptions());
    EXPECT_EQ(L"", StoredQuickExts());

    sheet.Click(IDC_OPTIONS_TYPEICONS);
    Add(sheet, L"txt");
    sheet.Click(IDC_OPTIONS_SAVE);
    sheet.Press(PSBTN_CANCEL);
    ASSERT_TRUE(sheet.WaitClosed());
    EXPECT_EQ(kSixteenBits, StoredOptions());
    EXPECT_EQ(L"txt", StoredQuickExts());
}

// Refresh shows what is stored now and drops what was not saved; a list that cannot be read keeps
// the one read before.
TEST_F(OptionsPageTest, RefreshRereadsTheStoredSettings)
{
    StoreSettings(kSixteenBits, L"txt;bak");
    CSheetDriver sheet(ShowOptions());
    ASSERT_TRUE(sheet.Opened());
    sheet.Click(IDC_OPTIONS_COPYMENU);
    Add(sheet, L"htm");
    SelectEntry(sheet, 1);
    StoreSettings(OptAdditionalInfo | OptOptionsMenu, L"doc");
    sheet.Click(IDC_OPTIONS_REFRESH);
    sheet.Sync();
    EXPECT_TRUE(Checked(sheet, IDC_OPTIONS_OPTIONSMENU));
    EXPECT_FALSE(Checked(sheet, IDC_OPTIONS_COPYMENU));
    EXPECT_FALSE(IsWindowEnabled(sheet.Item(IDC_OPTIONS_ADD)));
    EXPECT_EQ(std::vector<std::wstring>{ L"doc" }, Entries(sheet));
    EXPECT_FALSE(IsWindowEnabled(sheet.Item(IDC_OPTIONS_UP)) || IsWindowEnabled(sheet.Item(IDC_OPTIONS_DOWN)));

    DWORD number = 7;
    CRegKeyHandle key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_WRITE, &key));
    RegSetValueExW(key, kValueQuickExts, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    sheet.Click(IDC_OPTIONS_REFRESH);
    sheet.Sync();
    EXPECT_EQ(std::vector<std::wstring>{ L"doc" }, Entries(sheet));
    sheet.Press(PSBTN_OK);
    ASSERT_TRUE(sheet.WaitClosed());
    EXPECT_EQ(DWORD(OptAdditionalInfo | OptOptionsMenu), StoredOptions());
    EXPECT_EQ(L"doc", StoredQuickExts());
}

// While the list's edit field has the focus, Add is drawn as the default button. The combo box
// tells its page when its edit gains and loses the focus; those notifications are sent here.
TEST_F(OptionsPageTest, AddIsTheDefaultButtonWhileTheEditHasTheFocus)
{
    CSheetDriver sheet(ShowOptions());
    ASSERT_TRUE(sheet.Opened());
    COMBOBOXINFO info = { sizeof(info) };
    ASSERT_TRUE(GetComboBoxInfo(sheet.Item(IDC_OPTIONS_QUICKLIST), &info));
    auto addStyle = [&] { return GetWindowLongW(sheet.Item(IDC_OPTIONS_ADD), GWL_STYLE) & BS_TYPEMASK; };
    EXPECT_EQ(BS_PUSHBUTTON, addStyle());
    sheet.Notify(IDC_OPTIONS_QUICKLIST, CBN_SETFOCUS);
    EXPECT_EQ(BS_DEFPUSHBUTTON, addStyle());
    sheet.Notify(IDC_OPTIONS_QUICKLIST, CBN_KILLFOCUS);
    EXPECT_EQ(BS_PUSHBUTTON, addStyle());
}

}

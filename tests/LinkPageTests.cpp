// The Shortcut page of the real sheet on real .lnk files, read back through the shell's link object.
#include <gtest/gtest.h>
#include "InfoSheet.h"
#include "LinkPageRes.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "TestSupport.h"
#include <dlgs.h>

namespace {

const int kApplyButton = 0x3021;

bool Enabled(HWND sheet, int id)
{
    return IsWindowEnabled(GetDlgItem(sheet, id)) != FALSE;
}

std::wstring ControlText(HWND window)
{
    wchar_t text[MAX_PATH * 2] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

FILETIME LastWrite(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

class LinkPage : public testing::Test {
protected:
    void SetUp() override
    {
        target = dir.MakeFile(L"tool.exe", "MZ");
        other = dir.MakeFile(L"other tool.exe", "MZ");
        workDir = dir.Path();
        link = dir / L"Tool.lnk";
        ASSERT_EQ(S_OK, CreateShortcut(link, target, L"-old", workDir, L"The tool"));
        parameters.GetFileList(ShellDataObject({ link }));
        ASSERT_TRUE(parameters.GetFileList()->IsShortcut(0));
    }

    std::unique_ptr<CSheetDriver> OpenSheet()
    {
        auto sheet = std::make_unique<CSheetDriver>(InfoSheetAt(parameters, InfoPage::Shortcut));
        EXPECT_TRUE(sheet->Opened());
        return sheet;
    }

    CTempDir dir{ L"link page" };
    std::wstring target, other, workDir, link;
    Parameters parameters;
};

TEST_F(LinkPage, ShowsTheShortcutsFieldsWithApplyDisabled)
{
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    EXPECT_EQ(L"Shortcut", sheet->Tabs().at(sheet->CurrentTab()));
    EXPECT_EQ(target, sheet->Text(IDC_LINK_COMMAND));
    EXPECT_EQ(L"-old", sheet->Text(IDC_LINK_ARGUMENTS));
    EXPECT_EQ(workDir, sheet->Text(IDC_LINK_WORKINGDIR));
    EXPECT_FALSE(Enabled(sheet->Sheet(), kApplyButton));
    sheet->SetText(IDC_LINK_WORKINGDIR, L"C:\\");
    sheet->Sync();
    EXPECT_TRUE(Enabled(sheet->Sheet(), kApplyButton));
}

struct EditCase {
    const char* name;
    int field;               // 0: nothing typed
    const wchar_t* text;
    int button;
    const wchar_t* arguments;  // expected in the file afterwards
    bool workDirCleared;
};

const EditCase kEdits[] = {
    { "NewArgumentsOnOk", IDC_LINK_ARGUMENTS, L"-new \"quoted arg\"", PSBTN_OK, L"-new \"quoted arg\"", false },
    { "ClearedArgumentsOnApply", IDC_LINK_ARGUMENTS, L"", PSBTN_APPLYNOW, L"", false },
    { "ClearedWorkingDirOnApply", IDC_LINK_WORKINGDIR, L"", PSBTN_APPLYNOW, L"-old", true },
    { "UnchangedOnOk", 0, nullptr, PSBTN_OK, L"-old", false },
};

class LinkPageEdit : public LinkPage, public testing::WithParamInterface<EditCase> {};

TEST_P(LinkPageEdit, WritesTheFieldsAndTurnsCancelIntoClose)
{
    const EditCase& edit = GetParam();
    FILETIME old = UtcFileTime(2001, 2, 3, 4, 5);
    {
        CFileHandle file(CreateFileW(link.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &old));
    }
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    if (edit.field)
        sheet->SetText(edit.field, edit.text);
    sheet->Press(edit.button);
    sheet->Sync();
    if (edit.button == PSBTN_APPLYNOW) {
        EXPECT_FALSE(Enabled(sheet->Sheet(), IDCANCEL));
        EXPECT_EQ(L"Close", ControlText(GetDlgItem(sheet->Sheet(), IDOK)));
        sheet->Press(PSBTN_CANCEL);
    }
    ASSERT_TRUE(sheet->WaitClosed());

    ShortcutFields fields = ReadShortcut(link);
    EXPECT_EQ(target, fields.target);
    EXPECT_EQ(edit.arguments, fields.arguments);
    EXPECT_EQ(edit.workDirCleared ? L"" : workDir, fields.workingDir);
    EXPECT_EQ(L"The tool", fields.description);
    FILETIME now = LastWrite(link);
    EXPECT_NE(0, CompareFileTime(&old, &now)) << "the shortcut is rewritten on every apply";
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkPageEdit, testing::ValuesIn(kEdits),
                         [](const testing::TestParamInfo<EditCase>& info) { return info.param.name; });

TEST_F(LinkPage, BrowsePutsTheChosenFileIntoTheCommand)
{
    DeleteFileW(target.c_str());  // the browser starts from the target even when it is gone
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    std::wstring initialName;
    HWND owner = nullptr;
    sheet->OnDialog([&](HWND dialog, const SeenDialog&) {
        initialName = ControlText(GetDlgItem(dialog, cmb13));
        owner = GetWindow(dialog, GW_OWNER);
        SetDlgItemTextW(dialog, cmb13, other.c_str());
        return IDOK;
    });
    sheet->SetText(IDC_LINK_ARGUMENTS, L"-typed");
    sheet->Click(IDC_LINK_BROWSE);
    sheet->Sync();
    EXPECT_EQ(L"tool.exe", initialName);
    EXPECT_EQ(sheet->Sheet(), owner);
    EXPECT_EQ(other, sheet->Text(IDC_LINK_COMMAND));
    EXPECT_EQ(L"-typed", sheet->Text(IDC_LINK_ARGUMENTS)) << "browsing keeps what was typed";
    EXPECT_TRUE(Enabled(sheet->Sheet(), kApplyButton));
    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(sheet->WaitClosed());
    ShortcutFields fields = ReadShortcut(link);
    EXPECT_EQ(other, fields.target);
    EXPECT_EQ(L"-typed", fields.arguments);
}

TEST_F(LinkPage, CancelledBrowseChangesNothing)
{
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    sheet->OnDialog([](HWND, const SeenDialog&) { return IDCANCEL; });
    sheet->Click(IDC_LINK_BROWSE);
    sheet->Sync();
    EXPECT_EQ(target, sheet->Text(IDC_LINK_COMMAND));
    EXPECT_FALSE(Enabled(sheet->Sheet(), kApplyButton));
}

// The open dialog moves the process's current directory as the user browses, even when cancelled;
// the host's own is back when the page regains control, whichever button closed the dialog.
TEST_F(LinkPage, BrowseLeavesTheCurrentDirectoryAsItWas)
{
    CTempDir browsed{ L"browsed" };
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    for (int button : { IDCANCEL, IDOK }) {
        auto sheet = OpenSheet();
        ASSERT_TRUE(sheet->Opened());
        sheet->OnDialog([&](HWND dialog, const SeenDialog&) {
            SetCurrentDirectoryW(browsed.Path().c_str());
            SetDlgItemTextW(dialog, cmb13, other.c_str());
            return button;
        });
        sheet->Click(IDC_LINK_BROWSE);
        sheet->Sync();
        wchar_t after[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, after);
        EXPECT_STREQ(before, after) << button;
        sheet->Press(PSBTN_CANCEL);
        ASSERT_TRUE(sheet->WaitClosed());
    }
}

}

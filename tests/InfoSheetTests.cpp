// The file-information sheet as the menu's dialog commands open it: caption, tabs and start page.
#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>
#include "InfoSheet.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "TestSupport.h"

namespace {

struct SheetCase {
    const char* name;
    std::vector<const wchar_t*> files;
    InfoPage start;
    const wchar_t* caption;
    std::vector<std::wstring> tabs;
    int current;
};

class InfoSheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(InfoSheet, ShowsTheFilesPagesAndStartPage)
{
    const SheetCase& c = GetParam();
    CTempDir dir;
    std::wstring target = dir.MakeFile(L"target.txt");
    ASSERT_EQ(S_OK, CreateShortcut(dir / L"Go there.lnk", target, L"", dir.Path()));
    dir.MakeFile(L"readme.txt");
    std::vector<std::wstring> paths;
    for (const wchar_t* file : c.files)
        paths.push_back(dir / file);
    Parameters parameters;
    parameters.GetFileList(ShellDataObject(paths));

    CSheetDriver sheet(InfoSheetAt(parameters, c.start));
    ASSERT_TRUE(sheet.Opened());
    EXPECT_EQ(c.caption, sheet.Caption());
    EXPECT_EQ(c.tabs, sheet.Tabs());
    EXPECT_EQ(c.current, sheet.CurrentTab());
    sheet.Press(PSBTN_CANCEL);
    EXPECT_TRUE(sheet.WaitClosed());
}

const std::vector<std::wstring> kFileTabs = { L"Type", L"Attributes", L"Summary", L"Options", L"About" };
const std::vector<std::wstring> kLinkTabs = { L"Type", L"Attributes", L"Shortcut", L"Summary", L"Options", L"About" };
const std::vector<std::wstring> kManyTabs = { L"Type", L"Attributes", L"Options", L"About" };

INSTANTIATE_TEST_SUITE_P(Commands, InfoSheet, ::testing::Values(
    SheetCase{ "File", { L"readme.txt" }, InfoPage::Type, L"readme File Information", kFileTabs, 0 },
    SheetCase{ "FileAbout", { L"readme.txt" }, InfoPage::About, L"readme File Information", kFileTabs, 4 },
    SheetCase{ "FileNoShortcutPage", { L"readme.txt" }, InfoPage::Shortcut, L"readme File Information", kFileTabs, 0 },
    SheetCase{ "Link", { L"Go there.lnk" }, InfoPage::Shortcut, L"Go there File Information", kLinkTabs, 2 },
    SheetCase{ "LinkSummary", { L"Go there.lnk" }, InfoPage::Summary, L"Go there File Information", kLinkTabs, 3 },
    SheetCase{ "Several", { L"readme.txt", L"target.txt" }, InfoPage::Options,
               L"Multiple selection file information", kManyTabs, 0 }),
    [](const ::testing::TestParamInfo<SheetCase>& info) { return std::string(info.param.name); });

}

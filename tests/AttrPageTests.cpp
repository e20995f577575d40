// The Attributes page of the real sheet on real files: what the boxes show and what the files hold
// after OK, Apply or Cancel.
#include <gtest/gtest.h>
#include "AttrPageRes.h"
#include "InfoSheet.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "TestSupport.h"

namespace {

const DWORD R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM;
// Wine reports every plain file as archived and keeps no temporary bit, so the comparisons leave
// both out.
const DWORD kObserved = R | H | S;

class AttrPage : public testing::Test {
protected:
    // Creates one file for each entry with those attributes and opens the sheet on the Attributes tab.
    std::unique_ptr<CSheetDriver> OpenSheet(const std::vector<DWORD>& attributes, InfoPage start = InfoPage::Attributes)
    {
        for (size_t i = 0; i < attributes.size(); ++i) {
            files.push_back(dir.MakeFile(L"file" + std::to_wstring(i) + L".dat"));
            EXPECT_TRUE(SetFileAttributesW(files.back().c_str(), attributes[i] | FILE_ATTRIBUTE_ARCHIVE));
        }
        parameters.GetFileList(ShellDataObject(files));
        auto sheet = std::make_unique<CSheetDriver>(InfoSheetAt(parameters, start));
        EXPECT_TRUE(sheet->Opened());
        if (start == InfoPage::Attributes)
            sheet->SelectTab(1);  // several files open on the Type tab
        return sheet;
    }

    std::vector<DWORD> OnDisk() const
    {
        std::vector<DWORD> found;
        for (const std::wstring& file : files)
            found.push_back(GetFileAttributesW(file.c_str()) & kObserved);
        return found;
    }

    CTempDir dir{ L"attr page" };
    std::vector<std::wstring> files;
    Parameters parameters;
};

TEST_F(AttrPage, ShowsAgreedBitsAsTwoStateAndMixedBitsAsIndeterminate)
{
    auto sheet = OpenSheet({ R, R | H, R });
    ASSERT_TRUE(sheet->Opened());
    const struct { int id; LRESULT state; LONG type; bool enabled; } kShown[] = {
        { IDC_ATTR_READONLY, BST_CHECKED, BS_AUTOCHECKBOX, true },
        { IDC_ATTR_HIDDEN, BST_INDETERMINATE, BS_AUTO3STATE, true },
        { IDC_ATTR_SYSTEM, BST_UNCHECKED, BS_AUTOCHECKBOX, true },
        { IDC_ATTR_TEMPORARY, BST_UNCHECKED, BS_AUTOCHECKBOX, false },
        { IDC_ATTR_COMPRESSED, BST_UNCHECKED, BS_AUTOCHECKBOX, false },
    };
    for (const auto& box : kShown) {
        EXPECT_EQ(box.state, sheet->Send(box.id, BM_GETCHECK)) << box.id;
        EXPECT_EQ(box.type, GetWindowLongW(sheet->Item(box.id), GWL_STYLE) & BS_TYPEMASK) << box.id;
        EXPECT_EQ(box.enabled, IsWindowEnabled(sheet->Item(box.id)) != FALSE) << box.id;
    }
    const HWND apply = GetDlgItem(sheet->Sheet(), 0x3021);
    EXPECT_FALSE(IsWindowEnabled(apply));
    sheet->Click(IDC_ATTR_SYSTEM);
    EXPECT_TRUE(IsWindowEnabled(apply));
}

struct ChangeCase {
    const char* name;
    std::vector<DWORD> before;
    std::vector<int> clicks;
    int button;  // Apply is followed by Cancel
    std::vector<DWORD> after;
};

const ChangeCase kChanges[] = {
    { "MixedBitKeptWhenAnotherBitForcesWrites", { 0, H, 0 }, { IDC_ATTR_READONLY }, PSBTN_OK, { R, R | H, R } },
    { "MixedBitClickedOnceClearsEveryFile", { H, 0 }, { IDC_ATTR_HIDDEN }, PSBTN_OK, { 0, 0 } },
    { "MixedBitClickedTwiceSetsEveryFile", { H, 0 }, { IDC_ATTR_HIDDEN, IDC_ATTR_HIDDEN }, PSBTN_OK, { H, H } },
    { "ReadOnlyClearedAndSystemSetOnApply", { R }, { IDC_ATTR_READONLY, IDC_ATTR_SYSTEM }, PSBTN_APPLYNOW, { S } },
    { "CancelChangesNothing", { R, H }, { IDC_ATTR_READONLY, IDC_ATTR_HIDDEN }, PSBTN_CANCEL, { R, H } },
};

class AttrPageChange : public AttrPage, public testing::WithParamInterface<ChangeCase> {};

TEST_P(AttrPageChange, WritesTheBoxesToTheFiles)
{
    const ChangeCase& change = GetParam();
    auto sheet = OpenSheet(change.before);
    ASSERT_TRUE(sheet->Opened());
    for (int id : change.clicks)
        sheet->Click(id);
    sheet->Press(change.button);
    if (change.button == PSBTN_APPLYNOW) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), IDCANCEL)));
        EXPECT_EQ(change.after, OnDisk()) << "applied before the sheet closes";
        sheet->Press(PSBTN_CANCEL);
    }
    ASSERT_TRUE(sheet->WaitClosed());
    EXPECT_EQ(change.after, OnDisk());
}

INSTANTIATE_TEST_SUITE_P(Cases, AttrPageChange, testing::ValuesIn(kChanges),
                         [](const testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });

TEST_F(AttrPage, NeverShownAppliesNothing)
{
    auto sheet = OpenSheet({ 0 }, InfoPage::Type);
    ASSERT_TRUE(sheet->Opened());
    // Changed behind the sheet: a page applying what it read at the opening would clear it again.
    ASSERT_TRUE(SetFileAttributesW(files[0].c_str(), H));
    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(sheet->WaitClosed());
    EXPECT_EQ(std::vector<DWORD>{ H }, OnDisk());
}

}

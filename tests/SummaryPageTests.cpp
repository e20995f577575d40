// The Summary page of the real sheet on a real compound document, read back from the file.
#include <gtest/gtest.h>
#include "InfoSheet.h"
#include "MemoryStoreOpener.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "SummaryPageRes.h"
#include "TestSupport.h"

namespace {

using Values = std::vector<std::wstring>;
const Values kStored = { L"Title", L"Subject", L"Author", L"Keys", L"Notes" };
const std::string kLongTitle(80, 't');

// The edits in the file list's order of the values, with their limits.
const struct { int id; int limit; } kFields[] = {
    { IDC_SUMMARY_TITLE, 50 }, { IDC_SUMMARY_SUBJECT, 50 }, { IDC_SUMMARY_AUTHOR, 50 },
    { IDC_SUMMARY_KEYWORDS, 50 }, { IDC_SUMMARY_COMMENTS, 200 },
};

class SummaryPage : public testing::Test {
protected:
    std::unique_ptr<CSheetDriver> OpenSheet(const char* title = "Title", InfoPage start = InfoPage::Summary)
    {
        EXPECT_EQ(S_OK, CreateCompoundDocument(doc, { title, "Subject", "Author", "Keys", "Notes" }));
        parameters.GetFileList(ShellDataObject({ doc }));
        auto sheet = std::make_unique<CSheetDriver>(InfoSheetAt(parameters, start));
        EXPECT_TRUE(sheet->Opened());
        return sheet;
    }

    CTempDir dir{ L"summary page" };
    std::wstring doc = dir / L"report.doc";
    Parameters parameters;
};

TEST_F(SummaryPage, ShowsTheStoredValuesWithTheirLimits)
{
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    for (size_t i = 0; i < kStored.size(); ++i) {
        EXPECT_EQ(kStored[i], sheet->Text(kFields[i].id));
        EXPECT_EQ(kFields[i].limit, sheet->Send(kFields[i].id, EM_GETLIMITTEXT)) << kFields[i].id;
    }
    const HWND apply = GetDlgItem(sheet->Sheet(), 0x3021);
    EXPECT_FALSE(IsWindowEnabled(apply)) << "filling the fields is no edit";
    sheet->SetText(IDC_SUMMARY_SUBJECT, L"Typed");
    EXPECT_TRUE(IsWindowEnabled(apply));
}

struct EditCase {
    const char* name;
    int field;
    const wchar_t* text;
    int button;  // Apply is followed by Cancel
    Values after;
};

const EditCase kEdits[] = {
    { "TitleOnOk", IDC_SUMMARY_TITLE, L"New title", PSBTN_OK, { L"New title", L"Subject", L"Author", L"Keys", L"Notes" } },
    { "ClearedKeywordsOnApply", IDC_SUMMARY_KEYWORDS, L"", PSBTN_APPLYNOW, { L"Title", L"Subject", L"Author", L"", L"Notes" } },
    { "CancelKeepsTheFile", IDC_SUMMARY_COMMENTS, L"Other", PSBTN_CANCEL, kStored },
};

class SummaryPageEdit : public SummaryPage, public testing::WithParamInterface<EditCase> {};

TEST_P(SummaryPageEdit, WritesTheFieldsIntoTheDocument)
{
    const EditCase& edit = GetParam();
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    sheet->SetText(edit.field, edit.text);
    sheet->Press(edit.button);
    if (edit.button == PSBTN_APPLYNOW) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Sheet(), IDCANCEL)));
        sheet->Press(PSBTN_CANCEL);
    }
    ASSERT_TRUE(sheet->WaitClosed());
    EXPECT_EQ(edit.after, ReadSummaryValues(doc));
    EXPECT_TRUE(sheet->Seen().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SummaryPageEdit, testing::ValuesIn(kEdits),
                         [](const testing::TestParamInfo<EditCase>& info) { return info.param.name; });

struct TooLongCase {
    const char* name;
    const char* storedTitle;
    int field, index, limit;
    bool typed;  // else the stored title is too long already
};

const TooLongCase kTooLong[] = {
    { "StoredTitle", kLongTitle.c_str(), IDC_SUMMARY_TITLE, 0, 50, false },
    { "TypedComments", "Title", IDC_SUMMARY_COMMENTS, 4, 200, true },
};

class SummaryPageTooLong : public SummaryPage, public testing::WithParamInterface<TooLongCase> {};

TEST_P(SummaryPageTooLong, KeepsThePageUntilTheTextIsShortened)
{
    const TooLongCase& c = GetParam();
    auto sheet = OpenSheet(c.storedTitle);
    ASSERT_TRUE(sheet->Opened());
    const int summaryTab = sheet->CurrentTab();
    if (c.typed)
        sheet->SetText(c.field, std::wstring(size_t(c.limit) + 1, L'x'));  // as pasting past the limit would
    else
        EXPECT_EQ(ToWide(kLongTitle.c_str()), sheet->Text(c.field)) << "a stored text shows in full";
    sheet->Press(PSBTN_OK);
    sheet->SelectTab(0);
    EXPECT_FALSE(sheet->WaitClosed(0));
    EXPECT_EQ(summaryTab, sheet->CurrentTab());
    ASSERT_EQ(2u, sheet->Seen().size());
    for (const SeenDialog& seen : sheet->Seen())
        EXPECT_EQ(L"Morvane|This field takes no more than " + std::to_wstring(c.limit)
                      + L" characters. Please shorten the text.", seen.caption + L"|" + seen.text);
    GUITHREADINFO focus = { sizeof(focus) };
    GetGUIThreadInfo(GetWindowThreadProcessId(sheet->Sheet(), nullptr), &focus);
    EXPECT_EQ(sheet->Item(c.field), focus.hwndFocus);

    const std::wstring shortened(size_t(c.limit), L'y');
    sheet->SetText(c.field, shortened);
    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(sheet->WaitClosed());
    EXPECT_EQ(shortened, ReadSummaryValues(doc).at(size_t(c.index)));
}

INSTANTIATE_TEST_SUITE_P(Cases, SummaryPageTooLong, testing::ValuesIn(kTooLong),
                         [](const testing::TestParamInfo<TooLongCase>& info) { return info.param.name; });

TEST_F(SummaryPage, ReturnInCommentsMakesANewLine)
{
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    // Posted, so it passes the sheet's dialog-message handling as a key pressed in the field would.
    PostMessageW(sheet->Item(IDC_SUMMARY_COMMENTS), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    sheet->Sync();
    EXPECT_FALSE(sheet->WaitClosed(0)) << "Return pressed the default button";
    EXPECT_NE(std::wstring::npos, sheet->Text(IDC_SUMMARY_COMMENTS).find(L"\r\n"));
}

TEST_F(SummaryPage, NeverShownWritesNothing)
{
    auto sheet = OpenSheet("Title", InfoPage::Type);
    ASSERT_TRUE(sheet->Opened());
    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(sheet->WaitClosed());
    EXPECT_EQ(kStored, ReadSummaryValues(doc));
}

// A file that the property system answers for: an in-memory store stands in for its handler.
class SummaryPageOfStore : public testing::Test {
protected:
    std::unique_ptr<CSheetDriver> OpenSheet()
    {
        parameters.GetFileList(ShellDataObject({ photo }));
        auto sheet = std::make_unique<CSheetDriver>(InfoSheetAt(parameters, InfoPage::Summary));
        EXPECT_TRUE(sheet->Opened());
        return sheet;
    }
    bool ReadOnly(CSheetDriver& sheet, int id) { return (GetWindowLongW(sheet.Item(id), GWL_STYLE) & ES_READONLY) != 0; }
    bool NoteShown(CSheetDriver& sheet) { return IsWindowVisible(sheet.Item(IDC_SUMMARY_READONLY_NOTE)) != FALSE; }

    CTempDir dir{ L"summary store" };
    std::wstring photo = dir.MakeFile(L"photo.jpg", "not really a picture");
    CMemoryStoreOpener store;
    Parameters parameters;
};

TEST_F(SummaryPageOfStore, ShowsListsJoinedAndWritesThemSplit)
{
    store.Set(2, CMemoryStoreOpener::List({ L"Ann", L"Bob" }));
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    EXPECT_EQ(L"Ann; Bob", sheet->Text(IDC_SUMMARY_AUTHOR));
    EXPECT_FALSE(ReadOnly(*sheet, IDC_SUMMARY_AUTHOR));
    EXPECT_FALSE(NoteShown(*sheet));
    sheet->SetText(IDC_SUMMARY_AUTHOR, L"Ann; Bob; Cy");
    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(sheet->WaitClosed());
    EXPECT_TRUE(CMemoryStoreOpener::List({ L"Ann", L"Bob", L"Cy" }) == store.Get(2));
    EXPECT_TRUE(sheet->Seen().empty());
    EXPECT_EQ(0u, store.Held());
}

TEST_F(SummaryPageOfStore, AReadOnlyHandlerMakesTheFieldsReadOnlyAndSaysWhy)
{
    store.Set(0, CMemoryStoreOpener::Text(std::wstring(80, L't')));
    store.refuseWriting = true;
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->Opened());
    for (const auto& field : kFields)
        EXPECT_TRUE(ReadOnly(*sheet, field.id)) << field.id;
    ASSERT_TRUE(NoteShown(*sheet));
    EXPECT_EQ(L"The read-only fields hold what Windows can read from this file but cannot change.",
              sheet->Text(IDC_SUMMARY_READONLY_NOTE));
    RECT note, comments;
    GetWindowRect(sheet->Item(IDC_SUMMARY_READONLY_NOTE), &note);
    GetWindowRect(sheet->Item(IDC_SUMMARY_COMMENTS), &comments);
    EXPECT_LT(comments.bottom, note.top);
    // The stored title is longer than a typed one may be, and the user cannot shorten it.
    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(sheet->WaitClosed());
    EXPECT_TRUE(sheet->Seen().empty());
}

// Wine's property system gives no file a store: a plain file's page is as it always was.
TEST_F(SummaryPage, APlainFileKeepsEditableFieldsWithoutANote)
{
    std::wstring plain = dir.MakeFile(L"notes.txt", "text");
    parameters.GetFileList(ShellDataObject({ plain }));
    CSheetDriver sheet(InfoSheetAt(parameters, InfoPage::Summary));
    ASSERT_TRUE(sheet.Opened());
    for (const auto& field : kFields)
        EXPECT_EQ(0, GetWindowLongW(sheet.Item(field.id), GWL_STYLE) & ES_READONLY) << field.id;
    EXPECT_FALSE(IsWindowVisible(sheet.Item(IDC_SUMMARY_READONLY_NOTE)));
}

}

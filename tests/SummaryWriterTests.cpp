// The summary writer on real compound documents.
#include <gtest/gtest.h>
#include "DialogWatcher.h"
#include "FileList.h"
#include "TestSupport.h"

namespace {

class SummaryWriter : public testing::Test {
protected:
    CTempDir dir{ L"sum" };
    CDialogWatcher dialogs;
};

TEST_F(SummaryWriter, GivesADocumentWithoutSummaryAnAnsiSet)
{
    std::wstring doc = dir / L"plain doc.doc";
    ASSERT_EQ(S_OK, CreateCompoundDocument(doc));
    CFileList list(ShellDataObject({ doc }));
    ASSERT_EQ(1, list.GetSize());
    EXPECT_TRUE(list.WriteSummary(nullptr, L"Title", L"Subject", L"Author", L"Keywords", L"Comments"));
    EXPECT_EQ(L"", dialogs.Describe());

    StoredSummary stored = ReadStoredSummary(doc);
    ASSERT_TRUE(stored.found);
    // Created as an 8-bit set: its code page is the ANSI one, not Unicode.
    EXPECT_EQ(int(GetACP()), stored.codePage);
    const char* expected[] = { "Title", "Subject", "Author", "Keywords", "Comments" };
    for (int i = 0; i < CFileList::kSummaryCount; ++i)
        EXPECT_EQ(expected[i], stored.texts[i]) << i;
    CFileList again(ShellDataObject({ doc }));
    EXPECT_STREQ(L"Keywords", again.ElementAt(0).GetSummaryText(3));
}

TEST_F(SummaryWriter, AClearedFieldIsStoredEmptyAndTheOthersKept)
{
    std::wstring doc = dir / L"doc.doc";
    ASSERT_EQ(S_OK, CreateCompoundDocument(doc));
    CFileList list(ShellDataObject({ doc }));
    ASSERT_TRUE(list.WriteSummary(nullptr, L"T", L"S", L"A", L"K", L"C"));
    CFileList::CFileInfo& info = list.ElementAt(0);
    for (int i = 0; i < CFileList::kSummaryCount; ++i)
        info.GetSummaryText(i);
    EXPECT_TRUE(list.WriteSummary(nullptr, L"T", L"S", L"A", L"", L"C"));

    StoredSummary stored = ReadStoredSummary(doc);
    EXPECT_EQ(VT_EMPTY, stored.types[3]);
    EXPECT_EQ("T", stored.texts[0]);
    EXPECT_EQ("S", stored.texts[1]);
    EXPECT_EQ("A", stored.texts[2]);
    EXPECT_EQ("C", stored.texts[4]);
    EXPECT_TRUE(info.GetSummaryText(3).IsEmpty());
    EXPECT_EQ(L"", dialogs.Describe());
}

void ExpectOneOpenFailure(const CDialogWatcher& dialogs)
{
    ASSERT_EQ(1u, dialogs.Seen().size()) << dialogs.Describe();
    EXPECT_EQ(L"Morvane", dialogs.Seen()[0].caption);
    EXPECT_EQ(L"Could not open file entry to save Summary Information.", dialogs.Seen()[0].text);
    EXPECT_EQ(std::vector<std::wstring>{ L"OK" }, dialogs.Seen()[0].buttons);
}

TEST_F(SummaryWriter, UnchangedValuesOpenNoFileAndALockedFileIsReported)
{
    std::wstring doc = dir / L"doc.doc";
    // A document whose summary another program stored as 8-bit strings.
    ASSERT_EQ(S_OK, CreateCompoundDocument(doc, { "Title", nullptr, "Author" }));
    CFileList list(ShellDataObject({ doc }));
    CFileList::CFileInfo& info = list.ElementAt(0);
    EXPECT_STREQ(L"Title", info.GetSummaryText(0));

    // Another program holds the document open exclusively: any attempt to open it would fail.
    CFileHandle holder(CreateFileW(doc.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsValid());
    EXPECT_TRUE(list.WriteSummary(nullptr, L"Title", L"", L"Author", L"", L""));
    EXPECT_EQ(L"", dialogs.Describe());

    EXPECT_FALSE(list.WriteSummary(nullptr, L"New Title", L"", L"Author", L"", L""));
    ExpectOneOpenFailure(dialogs);
    holder.Close();
    EXPECT_EQ("Title", ReadStoredSummary(doc).texts[0]);
    EXPECT_EQ("Author", ReadStoredSummary(doc).texts[2]);
}

TEST_F(SummaryWriter, WideStringsAreWrittenAgainEvenWhenUnchanged)
{
    std::wstring doc = dir / L"doc.doc";
    ASSERT_EQ(S_OK, CreateCompoundDocument(doc));
    CFileList list(ShellDataObject({ doc }));
    ASSERT_TRUE(list.WriteSummary(nullptr, L"Title", L"", L"", L"", L""));
    list.ElementAt(0).GetSummaryText(0);
    CFileHandle holder(CreateFileW(doc.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsValid());
    EXPECT_FALSE(list.WriteSummary(nullptr, L"Title", L"", L"", L"", L""));
    ExpectOneOpenFailure(dialogs);
}

TEST_F(SummaryWriter, AFileWithoutStorageOrNoFileIsNotWritten)
{
    std::wstring plain = dir.MakeFile(L"plain.txt", "just text");
    CFileList list(ShellDataObject({ plain }));
    EXPECT_FALSE(list.WriteSummary(nullptr, L"Title", L"", L"", L"", L""));
    ASSERT_EQ(1u, dialogs.Seen().size()) << dialogs.Describe();
    EXPECT_EQ(L"Could not open file entry to save Summary Information.", dialogs.Seen()[0].text);
    CFileHandle file(CreateFileW(plain.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char bytes[64] = {};
    DWORD got = 0;
    ReadFile(file, bytes, sizeof(bytes), &got, nullptr);
    EXPECT_EQ("just text", std::string(bytes, got));

    CFileList empty(nullptr);
    EXPECT_FALSE(empty.WriteSummary(nullptr, L"Title", L"", L"", L"", L""));
    EXPECT_EQ(1u, dialogs.Seen().size());
}

}

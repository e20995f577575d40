// The shortcut writer on real .lnk files made and read back by the shell's link object.
#include <gtest/gtest.h>
#include "DialogWatcher.h"
#include "FileList.h"
#include "TestSupport.h"
#include <shlobj.h>

namespace {

class ShortcutWriter : public testing::Test {
protected:
    void SetUp() override
    {
        target = dir.MakeFile(L"tool.exe", "MZ");
        workDir = dir.Path();
        link = dir / L"Tool.lnk";
        ASSERT_EQ(S_OK, CreateShortcut(link, target, L"-old", workDir, L"The tool", target, 3));
    }

    CTempDir dir{ L"lnk dir" };
    CDialogWatcher dialogs;
    std::wstring target, workDir, link;
};

TEST_F(ShortcutWriter, ChangedArgumentsKeepEverythingElse)
{
    CFileList list(ShellDataObject({ link }));
    ASSERT_TRUE(list.IsShortcut(0));
    EXPECT_TRUE(list.WriteShortcut(nullptr, target.c_str(), L"-new \"quoted arg\"", workDir.c_str()));

    ShortcutFields fields = ReadShortcut(link);
    EXPECT_EQ(target, fields.target);
    EXPECT_EQ(L"-new \"quoted arg\"", fields.arguments);
    EXPECT_EQ(workDir, fields.workingDir);
    EXPECT_EQ(L"The tool", fields.description);
    EXPECT_EQ(target, fields.iconPath);
    EXPECT_EQ(3, fields.iconIndex);
    // The record forgot its details and reads the saved link again.
    EXPECT_STREQ(L"-new \"quoted arg\"", list.GetLinkArguments(0));
    EXPECT_EQ(L"", dialogs.Describe());
}

TEST_F(ShortcutWriter, AnEmptyWorkingDirectoryIsCleared)
{
    CFileList list(ShellDataObject({ link }));
    std::wstring other = dir.MakeFile(L"other.exe", "MZ");
    EXPECT_TRUE(list.WriteShortcut(nullptr, other.c_str(), L"", L""));
    ShortcutFields fields = ReadShortcut(link);
    EXPECT_EQ(other, fields.target);
    EXPECT_EQ(L"", fields.arguments);
    EXPECT_EQ(L"", fields.workingDir);
    EXPECT_EQ(L"The tool", fields.description);
}

void ExpectOneSaveFailure(const CDialogWatcher& dialogs)
{
    ASSERT_EQ(1u, dialogs.Seen().size()) << dialogs.Describe();
    EXPECT_EQ(L"Morvane", dialogs.Seen()[0].caption);
    EXPECT_EQ(L"Error changing link", dialogs.Seen()[0].text);
    EXPECT_EQ(std::vector<std::wstring>{ L"OK" }, dialogs.Seen()[0].buttons);
}

// Whether a read-only file refuses writing here. Wine maps the attribute to the Unix write bits,
// which a process running as root ignores.
bool ReadOnlyRefusesWriting(const CTempDir& dir)
{
    std::wstring probe = dir.MakeFile(L"ro-probe");
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    CFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    bool refused = !file.IsValid();
    file.Close();
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(probe.c_str());
    return refused;
}

TEST_F(ShortcutWriter, AReadOnlyShortcutIsReportedAndKeepsItsValues)
{
    if (!ReadOnlyRefusesWriting(dir))
        GTEST_SKIP() << "read-only files are writable here (Wine running as root)";
    ASSERT_TRUE(SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_READONLY));
    CFileList list(ShellDataObject({ link }));
    EXPECT_TRUE(list.WriteShortcut(nullptr, target.c_str(), L"-new", workDir.c_str()));
    SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectOneSaveFailure(dialogs);
    EXPECT_EQ(L"-old", ReadShortcut(link).arguments);
    EXPECT_STREQ(L"-old", list.GetLinkArguments(0));
}

TEST_F(ShortcutWriter, ALockedShortcutIsReportedAndKeepsItsValues)
{
    CFileList list(ShellDataObject({ link }));
    ASSERT_TRUE(list.IsShortcut(0));
    // Another program reads the link and lets nobody write it meanwhile.
    CFileHandle holder(CreateFileW(link.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsValid());
    EXPECT_TRUE(list.WriteShortcut(nullptr, target.c_str(), L"-new", workDir.c_str()));
    holder.Close();
    ExpectOneSaveFailure(dialogs);
    EXPECT_EQ(L"-old", ReadShortcut(link).arguments);
    EXPECT_STREQ(L"-old", list.GetLinkArguments(0));
}

TEST_F(ShortcutWriter, OnlyTheShortcutsOfASelectionAreRewritten)
{
    std::wstring plain = dir.MakeFile(L"notes.txt", "plain text");
    CFileList list(ShellDataObject({ plain, link }));
    ASSERT_EQ(2, list.GetSize());
    EXPECT_TRUE(list.WriteShortcut(nullptr, target.c_str(), L"-both", workDir.c_str()));
    EXPECT_EQ(L"-both", ReadShortcut(link).arguments);
    CFileHandle file(CreateFileW(plain.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char bytes[64] = {};
    DWORD got = 0;
    ReadFile(file, bytes, sizeof(bytes), &got, nullptr);
    EXPECT_EQ("plain text", std::string(bytes, got));
    EXPECT_EQ(L"", dialogs.Describe());
}

}

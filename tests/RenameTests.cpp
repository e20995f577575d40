// The extension change on real files in a temporary folder, through the shell's own rename.
#include <gtest/gtest.h>
#include "DialogWatcher.h"
#include "FileList.h"
#include "Rename.h"
#include "TestSupport.h"
#include <fstream>
#include <sstream>

namespace {

using CFileInfo = CFileList::CFileInfo;

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Content(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::wstring Title(const std::wstring& path, const wchar_t* extension)
{
    CFileInfo info;
    info.SetPath(path.c_str());
    return RenameProgressTitle(info, RenameDestination(info.m_path, extension), extension).GetString();
}

TEST(RenameTitle, NamesOldAndNewFileAsTheShellShowsThem)
{
    EXPECT_EQ(L"Renaming report.txt\" to \"report.doc\"", Title(L"C:\\a\\report.txt", L"doc"));
    EXPECT_EQ(L"Renaming annual_report_fo...(.txt)\" to \"annual_report_fo...(.doc)\"",
              Title(L"C:\\a\\annual_report_for_2005.txt", L"doc"));
}

TEST(RenameTitle, ShortensOnlyNamesLongerThanTwentyCharacters)
{
    // 16 + ".txt" = 20 characters: in full; the new name "...md" has 19.
    EXPECT_EQ(L"Renaming abcdefghijklmnop.txt\" to \"abcdefghijklmnop.md\"", Title(L"C:\\abcdefghijklmnop.txt", L"md"));
    // 17 + ".txt" = 21 characters: cut to 16 and marked with the extension; so is the new name.
    EXPECT_EQ(L"Renaming abcdefghijklmnop...(.txt)\" to \"abcdefghijklmnop...(.doc)\"",
              Title(L"C:\\abcdefghijklmnopq.txt", L"doc"));
    // A long name losing its extension shows the empty extension in the marker.
    EXPECT_EQ(L"Renaming abcdefghijklmnop...(.txt)\" to \"abcdefghijklmnopq\"", Title(L"C:\\abcdefghijklmnopq.txt", L""));
}

TEST(RenameDestination, ReplacesOnlyTheLastExtensionOfTheFileName)
{
    EXPECT_STREQ(L"C:\\my.dir\\README.txt", RenameDestination(L"C:\\my.dir\\README", L"txt"));
    EXPECT_STREQ(L"C:\\a\\archive.tar.zip", RenameDestination(L"C:\\a\\archive.tar.gz", L"zip"));
    EXPECT_STREQ(L"C:\\a\\report", RenameDestination(L"C:\\a\\report.txt", L""));
    EXPECT_STREQ(L"C:\\a\\.doc", RenameDestination(L"C:\\a\\.profile", L"doc"));
}

TEST(RenameExtensionCheck, RefusesWhatANameMayNotHold)
{
    for (const wchar_t* bad : { L"x\\..\\y", L"a/b", L"c:d", L"a*", L"*.*", L"a?", L"a\"b", L"a<b", L"a>b", L"a|b", L"a\tb", L"\x1f" })
        EXPECT_FALSE(IsAcceptableExtension(bad)) << bad;
    for (const wchar_t* good : { L"", L"txt", L"tar.gz", L"my ext", L"\x00e9t\x00e9" })
        EXPECT_TRUE(IsAcceptableExtension(good)) << good;
}

class RenameFiles : public testing::Test {
protected:
    // The list as the shell hands it over for these files.
    std::unique_ptr<CFileList> ListOf(const std::vector<std::wstring>& paths)
    {
        return std::make_unique<CFileList>(ShellDataObject(paths));
    }

    CTempDir dir{ L"ren" };
    CDialogWatcher dialogs;
};

TEST_F(RenameFiles, RenamesEveryFileAndFollowsItsNewPath)
{
    CreateDirectoryW((dir / L"my.dir").c_str(), nullptr);
    std::wstring readme = dir.MakeFile(L"my.dir\\README", "readme");
    std::wstring archive = dir.MakeFile(L"my.dir\\archive.tar.gz", "archive");
    auto list = ListOf({ readme, archive });
    ASSERT_EQ(2, list->GetSize());

    EXPECT_TRUE(list->ReplaceExtension(nullptr, L"txt"));

    // The folder's dot is never touched; only the last extension of the name is replaced.
    EXPECT_EQ("readme", Content(dir / L"my.dir\\README.txt"));
    EXPECT_EQ("archive", Content(dir / L"my.dir\\archive.tar.txt"));
    EXPECT_FALSE(Exists(readme));
    EXPECT_FALSE(Exists(archive));
    EXPECT_STREQ((dir / L"my.dir\\README.txt").c_str(), list->ElementAt(0).m_path);
    EXPECT_STREQ(L"README", list->ElementAt(0).m_name);
    EXPECT_STREQ(L"archive.tar", list->ElementAt(1).m_name);
    EXPECT_STREQ(L".txt", list->ElementAt(1).m_extension);
    EXPECT_EQ(L"", dialogs.Describe());
}

// Whether the file system under test can change only the case of a name.
bool RenamesCaseOnly(const CTempDir& dir)
{
    std::wstring probe = dir.MakeFile(L"case-probe.ABC");
    MoveFileW(probe.c_str(), (dir / L"case-probe.abc").c_str());
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW((dir / L"case-probe.*").c_str(), &found));
    bool renamed = find.IsValid() && wcscmp(found.cFileName, L"case-probe.abc") == 0;
    DeleteFileW((dir / L"case-probe.abc").c_str());
    return renamed;
}

TEST_F(RenameFiles, AnExtensionDifferingOnlyInCaseIsRenamed)
{
    // Wine keeps the case of a name that only changes case, through every route (the shell's
    // rename answers ERROR_ALREADY_EXISTS); Windows renames it.
    if (!RenamesCaseOnly(dir))
        GTEST_SKIP() << "this file system cannot change only the case of a name";
    std::wstring report = dir.MakeFile(L"report.TXT", "report");
    auto list = ListOf({ report });
    EXPECT_TRUE(list->ReplaceExtension(nullptr, L"txt"));
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW((dir / L"report.*").c_str(), &found));
    ASSERT_TRUE(find.IsValid());
    EXPECT_STREQ(L"report.txt", found.cFileName);
    EXPECT_STREQ(L".txt", list->ElementAt(0).m_extension);
}

TEST_F(RenameFiles, RemovesAnExtensionAndSkipsFilesThatAlreadyHaveTheNewOne)
{
    std::wstring report = dir.MakeFile(L"report.txt");
    std::wstring readme = dir.MakeFile(L"README");
    auto list = ListOf({ report, readme });
    EXPECT_TRUE(list->ReplaceExtension(nullptr, L""));
    EXPECT_TRUE(Exists(dir / L"report"));
    EXPECT_TRUE(Exists(readme));
    EXPECT_STREQ(L"", list->ElementAt(0).m_extension);

    std::wstring same = dir.MakeFile(L"same.txt");
    auto sameList = ListOf({ same });
    EXPECT_TRUE(sameList->ReplaceExtension(nullptr, L"txt"));
    EXPECT_STREQ(same.c_str(), sameList->ElementAt(0).m_path);
    EXPECT_TRUE(Exists(same));
    EXPECT_EQ(L"", dialogs.Describe());
}

TEST_F(RenameFiles, TheLoneStarLeavesEveryFileAlone)
{
    std::vector<std::wstring> files = { dir.MakeFile(L"a.txt"), dir.MakeFile(L"b.doc"), dir.MakeFile(L"c") };
    auto list = ListOf(files);
    EXPECT_TRUE(list->ReplaceExtension(nullptr, L"*"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Exists(files[i]));
        EXPECT_STREQ(files[i].c_str(), list->ElementAt(i).m_path);
    }
    EXPECT_EQ(L"", dialogs.Describe());
}

TEST_F(RenameFiles, AnExtensionThatNamesAnotherPlaceMovesNothing)
{
    CreateDirectoryW((dir / L"sub").c_str(), nullptr);
    std::wstring file = dir.MakeFile(L"sub\\x.txt", "keep");
    for (const wchar_t* bad : { L"x\\..\\y", L"a/b", L"..\\..\\z", L"c:d", L"a*b", L"a?", L"a\"b", L"a|b", L"a<b" }) {
        auto list = ListOf({ file });
        EXPECT_TRUE(list->ReplaceExtension(nullptr, bad));
        EXPECT_EQ("keep", Content(file)) << bad;
        EXPECT_STREQ(file.c_str(), list->ElementAt(0).m_path) << bad;
    }
    EXPECT_FALSE(Exists(dir / L"y"));
    EXPECT_FALSE(Exists(dir / L"sub\\x.x"));
    EXPECT_FALSE(Exists(dir / L"sub\\x.a"));
    // A name that would be only dots is never handed to the shell: ".." would name the parent.
    std::wstring dotOnly = dir.MakeFile(L"sub\\.txt", "dot");
    auto list = ListOf({ dotOnly });
    EXPECT_TRUE(list->ReplaceExtension(nullptr, L"."));
    EXPECT_EQ("dot", Content(dotOnly));
}

TEST_F(RenameFiles, AnExistingDestinationKeepsBothFiles)
{
    std::wstring source = dir.MakeFile(L"a.txt", "source");
    std::wstring existing = dir.MakeFile(L"a.doc", "existing");
    auto list = ListOf({ source });
    EXPECT_TRUE(list->ReplaceExtension(nullptr, L"doc"));
    EXPECT_EQ("source", Content(source));
    EXPECT_EQ("existing", Content(existing));
    EXPECT_STREQ(source.c_str(), list->ElementAt(0).m_path);
}

TEST_F(RenameFiles, AFailedFileStopsNoOtherAndKeepsItsName)
{
    std::wstring vanished = dir.MakeFile(L"gone.txt");
    std::wstring locked = dir.MakeFile(L"locked.txt", "locked");
    std::wstring plain = dir.MakeFile(L"plain.txt", "plain");
    auto list = ListOf({ vanished, locked, plain });
    DeleteFileW(vanished.c_str());
    // Another program holds the file open without letting it be renamed.
    CFileHandle holder(CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsValid());

    EXPECT_TRUE(list->ReplaceExtension(nullptr, L"md"));

    holder.Close();
    EXPECT_STREQ(vanished.c_str(), list->ElementAt(0).m_path);
    EXPECT_STREQ(locked.c_str(), list->ElementAt(1).m_path);
    EXPECT_EQ("locked", Content(locked));
    EXPECT_EQ("plain", Content(dir / L"plain.md"));
    EXPECT_STREQ((dir / L"plain.md").c_str(), list->ElementAt(2).m_path);
    EXPECT_FALSE(Exists(dir / L"gone.md"));
}

}

// The selection model on real files, real shell data objects, real links and compound documents.
#include <gtest/gtest.h>
#include "FileList.h"
#include "TestSupport.h"

namespace {

using CFileInfo = CFileList::CFileInfo;

std::vector<std::wstring> Paths(CFileList& list)
{
    std::vector<std::wstring> paths;
    for (int i = 0; i < list.GetSize(); ++i)
        paths.push_back(list.ElementAt(i).m_path.GetString());
    return paths;
}

bool IsZero(const FILETIME& time)
{
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

TEST(FileListBuild, TakesTheShellsOwnDataObjectInOrder)
{
    CTempDir dir;
    std::vector<std::wstring> files = { dir.MakeFile(L"b.txt"), dir.MakeFile(L"a.doc"), dir.MakeFile(L"c") };
    CComPtr<IDataObject> data = ShellDataObject(files);
    ASSERT_TRUE(data);
    CFileList list(data);
    EXPECT_EQ(files, Paths(list));
}

TEST(FileListBuild, TakesAHandMadeFileListInOrder)
{
    std::vector<std::wstring> files = { L"C:\\x\\three.txt", L"C:\\x\\one.txt", L"C:\\y\\two" };
    CFileList list(HdropDataObject(files));
    EXPECT_EQ(files, Paths(list));
}

TEST(FileListBuild, IsEmptyWithoutAFileList)
{
    CFileList none(EmptyDataObject());
    EXPECT_EQ(0, none.GetSize());
    CFileList empty(HdropDataObject({}));
    EXPECT_EQ(0, empty.GetSize());
    CFileList null(nullptr);
    EXPECT_EQ(0, null.GetSize());
    // Reaching past the end yields a record that names no file.
    EXPECT_TRUE(null.ElementAt(0).m_path.IsEmpty());
    EXPECT_EQ(0u, null.GetAttributes(3));
}

TEST(FileListBuild, Reads8BitListsAndStopsAtTheEndOfTheBlock)
{
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = FALSE;
    std::string ansi(reinterpret_cast<const char*>(&header), sizeof(header));
    const char names[] = "C:\\one.txt\0C:\\two words.doc\0";  // the literal's own zero ends the list
    ansi.append(names, sizeof(names));
    CFileList narrow(BlockDataObject(ansi));
    EXPECT_EQ((std::vector<std::wstring>{ L"C:\\one.txt", L"C:\\two words.doc" }), Paths(narrow));

    // A block cut inside a name: the names before it stand, the cut one is left out.
    std::string cut = DropFilesBlock({ L"C:\\whole.txt", L"C:\\cut-short.txt" });
    cut.resize(cut.size() - 12);
    CFileList partial(BlockDataObject(cut));
    EXPECT_EQ((std::vector<std::wstring>{ L"C:\\whole.txt" }), Paths(partial));

    // Names said to start beyond the block, or a block smaller than its header: no files.
    std::string beyond = DropFilesBlock({ L"C:\\a.txt" });
    reinterpret_cast<DROPFILES*>(&beyond[0])->pFiles = DWORD(beyond.size() + 10);
    EXPECT_EQ(0, CFileList(BlockDataObject(beyond)).GetSize());
    EXPECT_EQ(0, CFileList(BlockDataObject(std::string(6, '\0'))).GetSize());
}

TEST(FileListBuild, TakesTenThousandFilesInOrder)
{
    std::vector<std::wstring> files;
    for (int i = 0; i < 10000; ++i)
        files.push_back(L"C:\\many\\file" + std::to_wstring(i) + L".txt");
    CFileList list(HdropDataObject(files));
    EXPECT_EQ(files, Paths(list));
}

TEST(FileListBuild, KeepsPathsLongerThanMaxPathWhole)
{
    std::wstring longPath = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b') + L".txt";
    CFileList list(HdropDataObject({ longPath, L"C:\\short.txt" }));
    ASSERT_EQ(2, list.GetSize());
    EXPECT_EQ(longPath, list.ElementAt(0).m_path.GetString());
    EXPECT_STREQ(L".txt", list.ElementAt(0).m_extension);
    EXPECT_EQ(std::wstring(150, L'b'), list.ElementAt(0).m_name.GetString());
}

TEST(FileListBuild, ReadsFindDataOfAFileBeyondMaxPath)
{
    CTempDir dir;
    std::wstring deep = L"\\\\?\\" + dir.Path();
    for (int i = 0; i < 3; ++i) {
        deep += L"\\" + std::wstring(100, wchar_t(L'k' + i));
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    std::wstring file = deep + L"\\deep.bin";
    {
        CFileHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(handle.IsValid());
        DWORD written = 0;
        WriteFile(handle, "12345", 5, &written, nullptr);
    }
    CFileList list(HdropDataObject({ file.substr(4) }));
    EXPECT_EQ(5u, list.ElementAt(0).GetFileLength());
    RemoveTree(deep.substr(4));
}

struct SplitCase {
    const wchar_t* path;
    const wchar_t* name;
    const wchar_t* extension;
};

TEST(FileInfoSplit, SplitsAtTheLastDotOfTheFileName)
{
    const SplitCase cases[] = {
        { L"C:\\docs\\report.final.txt", L"report.final", L".txt" },
        { L"C:\\docs\\README", L"README", L"" },
        { L"C:\\my.folder\\archive", L"archive", L"" },
        { L"C:\\docs\\archive.tar.gz", L"archive.tar", L".gz" },
        { L"\\\\server\\share\\x.TXT", L"x", L".TXT" },
        { L"C:\\docs\\trailing.", L"trailing", L"." },
    };
    for (const SplitCase& c : cases) {
        CFileInfo info;
        info.SetPath(c.path);
        EXPECT_STREQ(c.name, info.m_name) << ToNarrow(c.path);
        EXPECT_STREQ(c.extension, info.m_extension) << ToNarrow(c.path);
        EXPECT_STREQ(c.path, info.m_path);
    }
}

TEST(FileInfoFindData, ReflectsTheFileAtEveryAccess)
{
    CTempDir dir;
    // Files here carry the archive bit throughout: Wine reports it on every file and cannot clear it.
    std::wstring path = dir.MakeFile(L"grow.bin", "abc");
    CFileList list(HdropDataObject({ path }));
    EXPECT_EQ(3u, list.ElementAt(0).GetFileLength());
    dir.MakeFile(L"grow.bin", "abcdefgh");
    EXPECT_EQ(8u, list.ElementAt(0).GetFileLength());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE), list.GetAttributes(0));
    EXPECT_FALSE(IsZero(list.GetLastWriteTime(0)));
    EXPECT_FALSE(IsZero(list.GetCreationTime(0)));
}

TEST(FileInfoFindData, AFileGoneBeforeTheFirstReadShowsNothingAndOneGoneLaterKeepsItsValues)
{
    CTempDir dir;
    std::wstring early = dir.MakeFile(L"early.txt", "12");
    std::wstring late = dir.MakeFile(L"late.txt", "1234");
    CFileList list(HdropDataObject({ early, late }));
    DeleteFileW(early.c_str());
    EXPECT_EQ(0u, list.GetAttributes(0));
    EXPECT_EQ(0u, list.ElementAt(0).GetFileLength());
    EXPECT_TRUE(IsZero(list.GetCreationTime(0)));
    EXPECT_TRUE(IsZero(list.GetLastWriteTime(0)));
    EXPECT_TRUE(IsZero(list.GetLastAccessTime(0)));

    EXPECT_EQ(4u, list.ElementAt(1).GetFileLength());
    DeleteFileW(late.c_str());
    EXPECT_EQ(4u, list.ElementAt(1).GetFileLength());
    EXPECT_FALSE(IsZero(list.GetLastWriteTime(1)));
}

TEST(FileInfoFindData, CountsSizesBeyondFourGibibytes)
{
    CTempDir dir;
    std::wstring path = dir / L"sparse.bin";
    ASSERT_TRUE(CreateSparseFile(path, 5ULL << 30));
    CFileList list(HdropDataObject({ path }));
    EXPECT_EQ(5ULL << 30, list.ElementAt(0).GetFileLength());
}

TEST(FileInfoNames, ShortNamesAreUpperCaseAndShortPathsResolve)
{
    CTempDir dir;
    std::wstring longName = dir.MakeFile(L"a rather long name.text");
    std::wstring plain = dir.MakeFile(L"ab.txt");
    CFileList list(HdropDataObject({ longName, plain }));
    CString shortName = list.ElementAt(0).GetShortName();
    EXPECT_LE(shortName.GetLength(), 12);
    EXPECT_EQ(0, shortName.Find(L'A'));
    CString upper = shortName;
    upper.MakeUpper();
    EXPECT_STREQ(upper, shortName);
    EXPECT_STREQ(L"AB.TXT", list.ElementAt(1).GetShortName());

    wchar_t expected[MAX_PATH] = {};
    GetShortPathNameW(longName.c_str(), expected, MAX_PATH);
    EXPECT_STREQ(expected, list.ElementAt(0).GetShortPath());
    CFileList gone(HdropDataObject({ dir / L"missing.txt" }));
    EXPECT_TRUE(gone.ElementAt(0).GetShortPath().IsEmpty());
}

class ShortcutTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileType(L".lnk", L"lnkfile", L"Shortcut", true);
        DeleteTree(HKEY_CLASSES_ROOT, L".mvx");
        DeleteTree(HKEY_CLASSES_ROOT, L"mvxfile");
    }
    void TearDown() override
    {
        DeleteTree(HKEY_CLASSES_ROOT, L".mvx");
        DeleteTree(HKEY_CLASSES_ROOT, L"mvxfile");
    }
    CTempDir m_dir;
};

TEST_F(ShortcutTest, ARealLinkIsAShortcutWithItsDetails)
{
    std::wstring target = m_dir.MakeFile(L"target file.txt");
    std::wstring link = m_dir / L"to target.lnk";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"-x \"y z\"", m_dir.Path()));
    std::wstring plain = m_dir.MakeFile(L"plain.txt");
    CFileList list(HdropDataObject({ link, plain }));
    EXPECT_TRUE(list.IsShortcut(0));
    EXPECT_EQ(target, list.GetLinkTarget(0).GetString());
    EXPECT_STREQ(L"-x \"y z\"", list.GetLinkArguments(0));
    EXPECT_EQ(m_dir.Path(), list.GetLinkWorkingDir(0).GetString());
    EXPECT_FALSE(list.IsShortcut(1));
    EXPECT_TRUE(list.GetLinkTarget(1).IsEmpty());
}

TEST_F(ShortcutTest, DetailsAreReadOncePerPath)
{
    std::wstring target = m_dir.MakeFile(L"t.txt");
    std::wstring link = m_dir / L"once.lnk";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"first", L""));
    CFileList list(HdropDataObject({ link }));
    EXPECT_STREQ(L"first", list.GetLinkArguments(0));
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"second", L""));
    EXPECT_STREQ(L"first", list.GetLinkArguments(0));
    CString path = list.ElementAt(0).m_path;
    list.ElementAt(0).SetPath(path);
    EXPECT_STREQ(L"second", list.GetLinkArguments(0));
}

TEST_F(ShortcutTest, ATypeWithoutTheShortcutMarkIsAskedAgainAtTheNextAccess)
{
    std::wstring target = m_dir.MakeFile(L"t.txt");
    std::wstring link = m_dir / L"link.mvx";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"", L""));
    RegisterFileType(L".mvx", L"mvxfile", L"Morvane test link", false);
    CFileList list(HdropDataObject({ link }));
    EXPECT_FALSE(list.IsShortcut(0));
    WriteString(HKEY_CLASSES_ROOT, L"mvxfile", L"IsShortcut", L"");
    EXPECT_TRUE(list.IsShortcut(0));
    EXPECT_EQ(target, list.GetLinkTarget(0).GetString());
}

TEST_F(ShortcutTest, ALinkToAnItemWithoutAFileSystemPathIsNoShortcut)
{
    std::wstring link = m_dir / L"computer.lnk";
    {
        CComPtr<IShellLinkW> shellLink;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         shellLink.ReceiveVoid()));
        PIDLIST_ABSOLUTE drives = nullptr;
        ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives));
        shellLink->SetIDList(drives);
        ILFree(drives);
        CComPtr<IPersistFile> file;
        ASSERT_EQ(S_OK, shellLink.QueryInterface(IID_IPersistFile, file));
        ASSERT_EQ(S_OK, file->Save(link.c_str(), TRUE));
    }
    CFileList list(HdropDataObject({ link }));
    EXPECT_FALSE(list.IsShortcut(0));
}

TEST(FileInfoSummary, ReadsTheSummaryOfACompoundDocumentAtEveryAccess)
{
    ASSERT_TRUE(IsNt5OrLater());
    CTempDir dir;
    std::wstring path = dir / L"doc.doc";
    ASSERT_EQ(S_OK, CreateCompoundDocument(path, { "The Title", nullptr, "An Author" }));
    CFileList list(HdropDataObject({ path }));
    CFileInfo& info = list.ElementAt(0);
    EXPECT_STREQ(L"The Title", info.GetSummaryText(0));
    EXPECT_STREQ(L"", info.GetSummaryText(1));
    EXPECT_STREQ(L"An Author", info.GetSummaryText(2));
    EXPECT_STREQ(L"", info.GetSummaryText(3));
    EXPECT_STREQ(L"", info.GetSummaryText(4));
    EXPECT_STREQ(L"", info.GetSummaryText(5));
    ASSERT_EQ(S_OK, CreateCompoundDocument(path, { "Changed", nullptr, "" }));
    EXPECT_STREQ(L"Changed", info.GetSummaryText(0));
}

TEST(FileInfoSummary, ADocumentWithoutASummaryOrAPlainFileHasNoTexts)
{
    CTempDir dir;
    std::wstring bare = dir / L"bare.doc";
    ASSERT_EQ(S_OK, CreateCompoundDocument(bare));
    std::wstring plain = dir.MakeFile(L"plain.txt", "just text");
    CFileList list(HdropDataObject({ bare, plain }));
    for (int file = 0; file < 2; ++file)
        for (int k = 0; k < CFileList::kSummaryCount; ++k)
            EXPECT_TRUE(list.ElementAt(file).GetSummaryText(k).IsEmpty()) << file << " " << k;
}

TEST(FileListAttributes, KeepMaskKeepsEachFilesOwnBits)
{
    CTempDir dir;
    std::wstring hidden = dir.MakeFile(L"hidden.txt");
    std::wstring shown = dir.MakeFile(L"shown.txt");
    const DWORD archive = FILE_ATTRIBUTE_ARCHIVE;  // Wine keeps it on every file
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | archive);
    SetFileAttributesW(shown.c_str(), archive);
    CFileList list(HdropDataObject({ hidden, shown }));
    EXPECT_TRUE(list.SetAttributes(nullptr, FILE_ATTRIBUTE_READONLY | archive, FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | archive), GetFileAttributesW(hidden.c_str()));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY | archive), GetFileAttributesW(shown.c_str()));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY | archive), list.GetAttributes(1));
}

TEST(FileListAttributes, AFileThatCannotBeChangedIsPassedOverSilently)
{
    CTempDir dir;
    std::wstring present = dir.MakeFile(L"present.txt");
    CFileList list(HdropDataObject({ dir / L"absent.txt", present }));
    EXPECT_TRUE(list.SetAttributes(nullptr, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, 0));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesW(present.c_str()));
}

}

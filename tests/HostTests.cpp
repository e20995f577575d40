// shellhost.exe as a shell-side client sees the module: started as its own process on real files,
// with the built module registered, and its printed menus compared whole.
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <wincodec.h>
#include "Settings.h"
#include "TestSupport.h"

namespace {

const wchar_t kHandlerLine[] = L"handler *\\MorvaneMenu {5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}\n";
const wchar_t kHandlersKey[] = L"*\\shellex\\ContextMenuHandlers";
const DWORD kHostTimeoutMs = 60000;


struct HostResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::wstring out;  // UTF-8 decoded, line ends "\n"
    std::wstring err;
};

std::wstring FromUtf8(const std::string& bytes)
{
    std::wstring text;
    if (bytes.empty())
        return text;
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    text.resize(length);
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), &text[0], length);
    std::wstring lines;
    for (wchar_t c : text)
        if (c != L'\r')
            lines += c;
    return lines;
}

// Moves whatever the pipe holds now into buffer.
void Drain(HANDLE pipe, std::string& buffer)
{
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available) {
        char chunk[4096];
        DWORD got = 0;
        if (!ReadFile(pipe, chunk, available < sizeof(chunk) ? available : sizeof(chunk), &got, nullptr) || !got)
            break;
        buffer.append(chunk, got);
    }
}

// Runs shellhost.exe with the arguments (each quoted), its output read through pipes, and ends it
// if it has not finished within the timeout.
HostResult RunHost(const std::vector<std::wstring>& args)
{
    HostResult result;
    SECURITY_ATTRIBUTES inherit = { sizeof(inherit), nullptr, TRUE };
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0));
    EXPECT_TRUE(CreatePipe(&errRead, &errWrite, &inherit, 0));
    CFileHandle outReadHolder(outRead), errReadHolder(errRead);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = L"\"" + ExeFolder() + L"\\shellhost.exe\"";
    for (const std::wstring& arg : args)
        commandLine += L" \"" + arg + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process = {};
    BOOL started = StartProcess(commandLine, CREATE_NO_WINDOW, startup, process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    EXPECT_TRUE(started) << "error " << GetLastError();
    if (!started)
        return result;
    CKernelHandle processHolder(process.hProcess), threadHolder(process.hThread);

    std::string out, err;
    DWORD start = GetTickCount();
    DWORD wait = WAIT_TIMEOUT;
    while (wait == WAIT_TIMEOUT) {
        Drain(outRead, out);
        Drain(errRead, err);
        if (GetTickCount() - start > kHostTimeoutMs) {
            TerminateProcess(process.hProcess, 0xDEAD);
            ADD_FAILURE() << "shellhost did not finish within " << kHostTimeoutMs << " ms";
        }
        wait = WaitForSingleObject(process.hProcess, 20);
    }
    Drain(outRead, out);
    Drain(errRead, err);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    result.out = FromUtf8(out);
    result.err = FromUtf8(err);
    return result;
}

// The lines a run prints for a selection before the handlers' menus.
std::wstring SelectionLines(const std::wstring& folder, const std::vector<std::wstring>& names, const std::wstring& type)
{
    std::wstring lines = L"folder " + folder + L"\n";
    for (const std::wstring& name : names)
        lines += L"file " + name + L"\n";
    return lines + L"type " + type + L"\n";
}

// One printed menu line: its depth below the handler line, its text, and for commands the help
// text that --help-texts adds.
struct MenuRow {
    int level;
    std::wstring line;
    std::wstring help;
};

std::wstring Render(const std::vector<MenuRow>& rows, bool withHelp)
{
    std::wstring text;
    for (const MenuRow& row : rows) {
        text += std::wstring(size_t(row.level) * 2, L' ') + row.line;
        if (withHelp && !row.help.empty())
            text += L" help \"" + row.help + L"\"";
        text += L"\n";
    }
    return text;
}

std::wstring ClaimLine(const std::wstring& flags = L"0x0", const std::wstring& claimed = L"56")
{
    return L"  QueryContextMenu(flags " + flags + L"): " + claimed + L" identifiers\n";
}

// The default menu for report.txt as MakeReport leaves it (the archive bit is set on every new
// file, on Windows and Wine alike), without quick extensions.
std::vector<MenuRow> DefaultMenuRows()
{
    return {
        { 1, L"popup \"E&xtension: txt\"", L"" },
        { 2, L"1 \"Type: \u2192 Text Document...\" default", L"The selection's registered type..." },
        { 2, L"--------", L"" },
        { 2, L"popup \"File details\"", L"" },
        { 3, L"12 \"Size: \u2192 19 bytes\" disabled", L"The selection's size" },
        { 3, L"13 \"Short Name: \u2192 REPORT.TXT\" disabled", L"The selection's short (8.3) name" },
        { 3, L"14 \"Created: \u2192 Monday, March 7, 2005 1:07 PM\" disabled", L"The selection's creation date" },
        { 3, L"15 \"Modified: \u2192 Monday, March 7, 2005 1:07 PM\" disabled", L"The selection's last modified date" },
        { 3, L"16 \"Accessed: \u2192 Sunday, June 18, 2006\" disabled", L"The selection's last accessed date" },
        { 3, L"17 \"Location: \u2192 <Open in Explorer>\"", L"Locate the file in Explorer" },
        { 2, L"popup \"Clipboard\"", L"" },
        { 3, L"18 \"Copy File Extension\"", L"Copy file extension to clipboard" },
        { 3, L"19 \"Copy File Name\"", L"Copy file name to clipboard" },
        { 3, L"20 \"Copy File Path\"", L"Copy file name and path to clipboard" },
        { 3, L"21 \"Copy Short Name\"", L"Copy file short name to clipboard" },
        { 3, L"22 \"Copy Short Path\"", L"Copy file short path to clipboard" },
        { 3, L"23 \"Copy File Size\"", L"Copy file size to clipboard" },
        { 3, L"24 \"Copy File Type\"", L"Copy file type to clipboard" },
        { 2, L"popup \"Attributes: \u2192 [A]\"", L"" },
        { 3, L"25 \"Archive\" checked", L"Archive file flag" },
        { 3, L"26 \"Read-only\"", L"Read-only file flag" },
        { 3, L"27 \"Hidden\"", L"Hidden file flag" },
        { 3, L"28 \"System\"", L"System file flag" },
        { 3, L"29 \"Compressed\" disabled", L"Compressed file flag" },
        { 3, L"30 \"Temporary\" disabled", L"Temporary file flag" },
        { 3, L"--------", L"" },
        { 3, L"31 \"Clear all (SHRA)\"", L"Clear all attributes in the selection" },
        { 3, L"--------", L"" },
        { 3, L"32 \"Change...\" default", L"Change the selection's attributes..." },
        { 2, L"popup \"Summary Information\"", L"" },
        { 3, L"38 \"Title: \u2192 <not set>\" disabled", L"File's Title" },
        { 3, L"39 \"Subject: \u2192 <not set>\" disabled", L"File's Subject" },
        { 3, L"40 \"Author: \u2192 <not set>\" disabled", L"File's Author" },
        { 3, L"41 \"Keywords: \u2192 <not set>\" disabled", L"File's Key Words" },
        { 3, L"42 \"Comments: \u2192 <not set>\" disabled", L"File's Comments" },
        { 3, L"--------", L"" },
        { 3, L"43 \"Change...\" default", L"Change File Summary Information" },
        { 2, L"--------", L"" },
        { 2, L"44 \"Options...\"", L"Display Options dialog..." },
        { 2, L"45 \"About...\"", L"Display Morvane product information..." },
    };
}

std::wstring DefaultMenuLines()
{
    return ClaimLine() + Render(DefaultMenuRows(), false);
}

// What a saved picture shows: its size, the number of different colours (blank: one or two) and
// whether its bottom-left corner is transparent. Width 0 when it is no PNG that WIC reads.
struct Picture {
    UINT width = 0;
    UINT height = 0;
    size_t colours = 0;
    bool transparentCorner = false;
    size_t digest = 0;  // of all pixels: different pictures differ
};

Picture ReadPicture(const std::wstring& path)
{
    Picture picture;
    CComPtr<IWICImagingFactory> factory;
    CComPtr<IWICBitmapDecoder> decoder;
    CComPtr<IWICBitmapFrameDecode> frame;
    CComPtr<IWICFormatConverter> converter;
    GUID format = {};
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.ReceiveVoid()))
        || FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                     &decoder))
        || FAILED(decoder->GetContainerFormat(&format)) || !IsEqualGUID(format, GUID_ContainerFormatPng)
        || FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter))
        || FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)))
        return picture;
    UINT width = 0, height = 0;
    converter->GetSize(&width, &height);
    std::vector<DWORD> pixels(size_t(width) * height);
    if (pixels.empty() || FAILED(converter->CopyPixels(nullptr, width * 4, UINT(pixels.size() * 4),
                                                       reinterpret_cast<BYTE*>(pixels.data()))))
        return picture;
    picture.width = width;
    picture.height = height;
    picture.colours = std::set<DWORD>(pixels.begin(), pixels.end()).size();
    picture.transparentCorner = (pixels[size_t(width) * (height - 1)] >> 24) == 0;
    picture.digest = std::hash<std::string>()(std::string(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4));
    return picture;
}

class HostTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_module.reset(new CRegisteredModule());
        ASSERT_TRUE(s_module->IsRegistered());
        RegisterFileType(L".txt", L"txtfile", L"Text Document", false);
    }

    static void TearDownTestSuite()
    {
        s_module.reset();
        DeleteTree(HKEY_CLASSES_ROOT, L".txt");
        DeleteTree(HKEY_CLASSES_ROOT, L"txtfile");
        ClearSettings();
    }

    void SetUp() override { ClearSettings(); }

    // A file with fixed content and fixed times (UTC), so that every detail line is known.
    std::wstring MakeReport(const std::wstring& name)
    {
        std::wstring path = m_dir.MakeFile(name, "Quarterly figures\r\n");
        CFileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        // Wine keeps no creation time of its own (it reports the last-write time), so creation
        // and last write are given the same time, which both platforms then report alike.
        SYSTEMTIME written = { 2005, 3, 1, 7, 13, 7, 0, 0 };  // Monday, March 7, 2005 1:07 PM
        SYSTEMTIME accessed = { 2006, 6, 0, 18, 0, 5, 0, 0 };
        FILETIME times[3];
        SystemTimeToFileTime(&written, &times[0]);
        SystemTimeToFileTime(&written, &times[1]);
        SystemTimeToFileTime(&accessed, &times[2]);
        EXPECT_TRUE(SetFileTime(file, &times[0], &times[2], &times[1]));
        return path;
    }

    CTempDir m_dir{ L"host" };
    static std::unique_ptr<CRegisteredModule> s_module;
};

std::unique_ptr<CRegisteredModule> HostTest::s_module;

TEST_F(HostTest, PrintsTheMenuOfOneFileUnderTheDefaultSettings)
{
    std::wstring path = MakeReport(L"report.txt");
    HostResult run = RunHost({ path });
    EXPECT_EQ(0u, run.exitCode) << ToNarrow(run.err);
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile") + kHandlerLine + DefaultMenuLines(),
              run.out);
    EXPECT_EQ(L"", run.err);
}

TEST_F(HostTest, PrintsEveryHelpTextAndTheQuickExtensionsOfTheSettings)
{
    std::wstring path = MakeReport(L"report.txt");
    StoreQuickExts(L"txt;mvq");
    HostResult run = RunHost({ L"--help-texts", path });
    EXPECT_EQ(0u, run.exitCode) << ToNarrow(run.err);
    std::vector<MenuRow> rows = DefaultMenuRows();
    rows.push_back({ 2, L"--------", L"" });
    rows.push_back({ 2, L"popup \"Quick Extensions\"", L"" });
    rows.push_back({ 3, L"46 \"Text Document \u2192 (.txt)\"", L"Change the file's extension" });
    rows.push_back({ 3, L"47 \"MVQ File \u2192 (.mvq)\"", L"Change the file's extension" });
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile") + kHandlerLine + ClaimLine()
                  + Render(rows, true),
              run.out);
}

TEST_F(HostTest, HandsSeveralFilesOfOneFolderToTheHandlerAsOneSelection)
{
    std::wstring first = MakeReport(L"report.txt");
    std::wstring second = m_dir.MakeFile(L"Notes.TXT");
    std::wstring third = m_dir.MakeFile(L"no extension");
    HostResult run = RunHost({ first, second, third });
    EXPECT_EQ(0u, run.exitCode) << ToNarrow(run.err);
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt", L"Notes.TXT", L"no extension" }, L".txt txtfile")
                  + kHandlerLine + ClaimLine() + L"  0 \"E&xtension: <multiple>\"\n",
              run.out);

    HostResult bare = RunHost({ third });
    EXPECT_EQ(0u, bare.exitCode);
    EXPECT_EQ(0u, bare.out.find(SelectionLines(m_dir.Path(), { L"no extension" }, L"(no extension)") + kHandlerLine))
        << ToNarrow(bare.out);
}

TEST_F(HostTest, CreatesTheModuleOnceForAShortcutThatItIsRegisteredForTwice)
{
    std::wstring target = MakeReport(L"report.txt");
    std::wstring link = m_dir / L"report.lnk";
    ASSERT_EQ(S_OK, CreateShortcut(link, target, L"/p", m_dir.Path()));
    std::wstring shortcutType;
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, L"lnkfile", nullptr, shortcutType));
    // Only the type line and the shortcut group: the size and dates of a link file are the
    // platform's own.
    StoreSettings(0x20 | 0x4 | 0x100000);
    // lnkfile also has the system's own shell-link handler; only the module's entries are looked at.
    HostResult run = RunHost({ L"--handler", L"MorvaneMenu", link });
    EXPECT_EQ(0u, run.exitCode) << ToNarrow(run.err);
    // The file's own class comes first, as in Explorer; the same class under "*" is not created again.
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.lnk" }, L".lnk lnkfile")
                  + L"handler lnkfile\\MorvaneMenu {5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}\n" + ClaimLine()
                  + Render({
                        { 1, L"popup \"E&xtension: lnk\"", L"" },
                        { 2, L"1 \"Type: \u2192 " + shortcutType + L"...\" default", L"" },
                        { 2, L"--------", L"" },
                        { 2, L"popup \"Shortcut info\"", L"" },
                        { 3, L"33 \"Command: \u2192 " + target + L"\" disabled", L"" },
                        { 3, L"34 \"Arguments: \u2192 /p\" disabled", L"" },
                        { 3, L"35 \"Directory: \u2192 " + m_dir.Path() + L"\" disabled", L"" },
                        { 3, L"36 \"Location: \u2192 <Open in Explorer>\"", L"" },
                        { 3, L"--------", L"" },
                        { 3, L"37 \"Change...\" default", L"" },
                    }, false),
              run.out);
}

TEST_F(HostTest, PassesTheFlagsAndReportsAFailedQueryInItsExitCode)
{
    std::wstring path = MakeReport(L"report.txt");
    HostResult verbsOnly = RunHost({ L"--flags", L"0x2", path });
    EXPECT_EQ(0u, verbsOnly.exitCode);
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile") + kHandlerLine + ClaimLine(L"0x2", L"0")
                  + L"  (no items)\n",
              verbsOnly.out);

    HostResult explore = RunHost({ L"--flags", L"0x4", path });
    EXPECT_EQ(0u, explore.exitCode);
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile") + kHandlerLine + ClaimLine(L"0x4")
                  + Render(DefaultMenuRows(), false),
              explore.out);

    HostResult defaultOnly = RunHost({ L"--flags", L"1", path });
    EXPECT_EQ(1u, defaultOnly.exitCode);
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile") + kHandlerLine
                  + L"  QueryContextMenu(flags 0x1) failed 0x80004005\n",
              defaultOnly.out);
}

TEST_F(HostTest, InvokesByOffsetOnlyWhatAMenuShowsOrWhatTheNamedHandlerIsAskedFor)
{
    std::wstring path = MakeReport(L"report.txt");
    std::wstring head = SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile") + kHandlerLine + DefaultMenuLines();

    // Offset 3 is reserved and never in a menu: no handler shows it.
    HostResult unseen = RunHost({ L"--invoke", L"3", path });
    EXPECT_EQ(4u, unseen.exitCode);
    EXPECT_EQ(head + L"invoke 3: no menu holds that offset\n", unseen.out);

    // Offset 56, one past the last command, names no command.
    HostResult beyond = RunHost({ L"--handler", L"MorvaneMenu", L"--invoke", L"56", path });
    EXPECT_EQ(1u, beyond.exitCode);
    EXPECT_EQ(head + L"invoke *\\MorvaneMenu 56: 0x80004005\n", beyond.out);

    HostResult byClass = RunHost({ L"--handler", L"{5a1e0c37-6b2d-4f80-9c14-7e3b2a9d0f61}", L"--invoke", L"12", path });
    EXPECT_EQ(0u, byClass.exitCode);
    EXPECT_EQ(head + L"invoke *\\MorvaneMenu 12: 0x00000000\n", byClass.out);
}

TEST_F(HostTest, ReportsBrokenRegistrationsAndGoesOnWithTheOtherHandlers)
{
    std::wstring path = MakeReport(L"report.txt");
    const std::wstring broken = std::wstring(kHandlersKey) + L"\\AaBroken";
    const std::wstring missing = std::wstring(kHandlersKey) + L"\\AbMissing";
    WriteString(HKEY_CLASSES_ROOT, broken, nullptr, L"not a class");
    WriteString(HKEY_CLASSES_ROOT, missing, nullptr, L"{0D6C1E5A-0000-4A2B-9C3D-00000000BEEF}");
    HostResult run = RunHost({ path });
    DeleteTree(HKEY_CLASSES_ROOT, broken);
    DeleteTree(HKEY_CLASSES_ROOT, missing);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile")
                  + L"handler *\\AaBroken not a class\n  not a class identifier\n"
                  + L"handler *\\AbMissing {0D6C1E5A-0000-4A2B-9C3D-00000000BEEF}\n  CoCreateInstance failed 0x80040154\n"
                  + kHandlerLine + DefaultMenuLines(),
              run.out);

    HostResult none = RunHost({ L"--handler", L"NoSuchHandler", path });
    EXPECT_EQ(4u, none.exitCode);
    EXPECT_EQ(SelectionLines(m_dir.Path(), { L"report.txt" }, L".txt txtfile") + L"no handler NoSuchHandler registered\n",
              none.out);
}

TEST_F(HostTest, RefusesSelectionsTheShellCannotMakeAndBadCommandLines)
{
    std::wstring path = MakeReport(L"report.txt");
    CTempDir other(L"host-other");
    std::wstring elsewhere = other.MakeFile(L"b.txt");

    HostResult twoFolders = RunHost({ path, elsewhere });
    EXPECT_EQ(3u, twoFolders.exitCode);
    EXPECT_EQ(L"", twoFolders.out);
    EXPECT_NE(std::wstring::npos, twoFolders.err.find(L"a selection lies in one folder")) << ToNarrow(twoFolders.err);

    HostResult missing = RunHost({ m_dir / L"gone.txt" });
    EXPECT_EQ(3u, missing.exitCode);
    EXPECT_EQ(L"", missing.out);

    HostResult folder = RunHost({ m_dir.Path() });
    EXPECT_EQ(3u, folder.exitCode);

    EXPECT_EQ(2u, RunHost({}).exitCode);
    EXPECT_EQ(2u, RunHost({ L"--flags", L"x1", path }).exitCode);
    EXPECT_EQ(2u, RunHost({ L"--bogus", path }).exitCode);
    EXPECT_EQ(0u, RunHost({ L"--help" }).exitCode);
}

TEST_F(HostTest, SavesEveryPageOfTheSheetItOpensAndThenCancelsIt)
{
    std::wstring path = MakeReport(L"report.txt");
    HostResult run = RunHost({ L"--invoke", L"44", L"--screenshot", m_dir / L"Sheet.PNG", path });
    EXPECT_EQ(0u, run.exitCode) << ToNarrow(run.out);
    Picture first;
    std::set<size_t> pages;
    for (const wchar_t* tab : { L"type", L"attributes", L"summary", L"options", L"about" }) {
        std::wstring picturePath = m_dir / (std::wstring(L"Sheet-") + tab + L".png");
        EXPECT_NE(std::wstring::npos, run.out.find(L"screenshot " + picturePath + L"\n")) << ToNarrow(tab);
        Picture picture = ReadPicture(picturePath);
        EXPECT_GE(picture.width, 300u) << ToNarrow(tab);
        EXPECT_GT(picture.colours, 3u) << ToNarrow(tab);
        EXPECT_FALSE(picture.transparentCorner) << ToNarrow(tab);
        if (!first.width)
            first = picture;
        EXPECT_EQ(first.width, picture.width) << ToNarrow(tab);
        EXPECT_EQ(first.height, picture.height) << ToNarrow(tab);
        pages.insert(picture.digest);
    }
    EXPECT_EQ(5u, pages.size()) << "each picture shows its own page";
    // Cancelled: the Options page, shown on the way, saved nothing.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kValueOptions, RRF_RT_ANY, nullptr, nullptr, nullptr));
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES);
}

TEST_F(HostTest, SavesThePopupMenuWithItsFirstSubmenusOpenOnATransparentGround)
{
    std::wstring path = MakeReport(L"report.txt");
    std::wstring picturePath = m_dir / L"menu.png";
    HostResult run = RunHost({ L"--menu-screenshot", picturePath, path });
    EXPECT_EQ(0u, run.exitCode) << ToNarrow(run.out);
    EXPECT_NE(std::wstring::npos, run.out.find(L"menu screenshot " + picturePath + L": 3 menus\n")) << ToNarrow(run.out);
    Picture picture = ReadPicture(picturePath);
    EXPECT_GT(picture.width, picture.height);
    EXPECT_GT(picture.colours, 3u);
    // The top menu holds one line and the submenus reach below it: the ground shows under it.
    EXPECT_TRUE(picture.transparentCorner);
}

TEST_F(HostTest, FailsAScreenshotOfACommandThatOpensNoSheet)
{
    std::wstring path = MakeReport(L"report.txt");
    std::wstring shot = m_dir / L"none.png";
    HostResult run = RunHost({ L"--invoke", L"18", L"--screenshot", shot, path });
    EXPECT_EQ(5u, run.exitCode) << ToNarrow(run.out);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((m_dir / L"none-type.png").c_str()));
    EXPECT_EQ(2u, RunHost({ L"--screenshot", shot, path }).exitCode);
}

}

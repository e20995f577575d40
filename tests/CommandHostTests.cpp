// Menu commands end to end: shellhost.exe plays Explorer's part in a process of its own against the
// registered module, and invokes an item the module built for a real file.
#include <gtest/gtest.h>
#include <memory>
#include "TestSupport.h"
#include <fstream>
#include <sstream>

namespace {


// Runs the program with the arguments, its output going nowhere, and returns its exit code.
DWORD RunProgram(const std::wstring& program, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    SECURITY_ATTRIBUTES inherit = { sizeof(inherit), nullptr, TRUE };
    CFileHandle nul(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    if (!StartProcess(commandLine, CREATE_NO_WINDOW, startup, process)) {
        ADD_FAILURE() << ToNarrow(program) << " did not start: " << GetLastError();
        return 0xFFFFFFFF;
    }
    CKernelHandle processHolder(process.hProcess), threadHolder(process.hThread);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 0xDEAD);
        ADD_FAILURE() << ToNarrow(program) << " did not finish";
    }
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

// shellhost.exe on the file with the module's handler only, invoking the offset.
DWORD InvokeThroughHost(const std::wstring& file, UINT offset)
{
    return RunProgram(ExeFolder() + L"\\shellhost.exe",
                           L"--handler MorvaneMenu --invoke " + std::to_wstring(offset) + L" \"" + file + L"\"");
}

class CommandsThroughTheHost : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_module.reset(new CRegisteredModule());
        ASSERT_TRUE(s_module->IsRegistered());
    }

    static void TearDownTestSuite()
    {
        s_module.reset();
        ClearSettings();
    }

    void SetUp() override
    {
        ClearSettings();
        StoreQuickExts(L"doc;md");
    }

    CTempDir dir{ L"host cmd" };
    static std::unique_ptr<CRegisteredModule> s_module;
};

std::unique_ptr<CRegisteredModule> CommandsThroughTheHost::s_module;

TEST_F(CommandsThroughTheHost, AQuickExtensionItemRenamesTheFile)
{
    std::wstring file = dir.MakeFile(L"report.txt", "figures");
    EXPECT_EQ(0u, InvokeThroughHost(file, 47));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));
    std::ifstream renamed((dir / L"report.md").c_str(), std::ios::binary);
    std::stringstream content;
    content << renamed.rdbuf();
    EXPECT_EQ("figures", content.str());
}

TEST_F(CommandsThroughTheHost, ACopyItemFillsTheClipboard)
{
    std::wstring file = dir.MakeFile(L"report.txt");
    EXPECT_EQ(0u, InvokeThroughHost(file, 20));
    EXPECT_EQ(file, ClipboardText());
}

TEST_F(CommandsThroughTheHost, AnAttributeItemTogglesTheFile)
{
    std::wstring file = dir.MakeFile(L"report.txt");
    EXPECT_EQ(0u, InvokeThroughHost(file, 27));
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(0u, InvokeThroughHost(file, 27));
    EXPECT_FALSE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// MorvaneRun.exe, as Explorer starts it for the Windows 11 menu: the module beside it runs the
// command at the offset for the files; anything else on its command line runs nothing.
TEST_F(CommandsThroughTheHost, TheRunnerRunsTheCommandForTheFilesItIsGiven)
{
    std::wstring file = dir.MakeFile(L"report.txt");
    std::wstring runner = ExeFolder() + L"\\MorvaneRun.exe";
    EXPECT_EQ(0u, RunProgram(runner, L"27 \"" + file + L"\""));
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(0u, RunProgram(runner, L"20 \"" + file + L"\""));
    EXPECT_EQ(file, ClipboardText());
    std::wstring alone = dir / L"MorvaneRun.exe";  // no module beside it: none is searched for
    ASSERT_TRUE(CopyFileW(runner.c_str(), alone.c_str(), FALSE));
    const struct { const char* name; std::wstring program, arguments; DWORD code; } refused[] = {
        { "no file", runner, L"20", 1 },
        { "offset past the menu", runner, L"56 \"" + file + L"\"", 1 },
        { "no number", runner, L"2x \"" + file + L"\"", 1 },
        { "no module beside it", alone, L"20 \"" + file + L"\"", 2 },
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.code, RunProgram(c.program, c.arguments));
    }
}

}

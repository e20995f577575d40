// The installer's logic in this process: command line, folders, deletion now or at restart, key
// trees, the installation steps and the installation check, against real files and keys.
#include <gtest/gtest.h>
#include <vector>
#include <windows.h>
#include "Check.h"
#include "CommandLine.h"
#include "Deletion.h"
#include "FolderTree.h"
#include "Installation.h"
#include "ModernMenu.h"
#include "SetupTestSupport.h"
#include "ProgramRunner.h"

namespace {

class SetupTest : public testing::Test {
protected:
    void SetUp() override { RemoveAnyInstallation(); }
    void TearDown() override { RemoveAnyInstallation(); }
};

std::string Temp(const CTempDir& dir)
{
    return Narrow(dir.Path());
}

std::string MakeFile(const std::string& path, const char* content = "old")
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, content, DWORD(strlen(content)), &written, nullptr);
    CloseHandle(file);
    return path;
}

std::wstring NtPath(const std::string& path)
{
    return L"\\??\\" + ToWide(path.c_str());
}

void RunAllSteps(const std::string& destination)
{
    UINT step = 0;
    while (RunInstallStep(destination.c_str(), step)) {
    }
    EXPECT_EQ(4u, step);
}

std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return buffer;
}

}

TEST(SetupCommandLine, ArgumentsFollowTheProgramNameAndItsBlanks)
{
    EXPECT_STREQ("/u", CommandLineArguments("Setup.exe /u"));
    EXPECT_STREQ("/c", CommandLineArguments("\"C:\\Program Files\\Morvane\\Setup.exe\"   /c"));
    EXPECT_STREQ("/u ", CommandLineArguments("Setup.exe\t/u "));
    EXPECT_STREQ("", CommandLineArguments("\"C:\\Program Files\\Morvane\\Setup.exe\""));
    EXPECT_STREQ("", CommandLineArguments("Setup"));
}

TEST(SetupCommandLine, OnlyTheWholeSwitchInAnyCaseSelectsAMode)
{
    EXPECT_EQ(SetupMode::Wizard, ClassifyArguments(""));
    EXPECT_EQ(SetupMode::Remove, ClassifyArguments("/u"));
    EXPECT_EQ(SetupMode::Remove, ClassifyArguments("/U"));
    EXPECT_EQ(SetupMode::Check, ClassifyArguments("/c"));
    EXPECT_EQ(SetupMode::Check, ClassifyArguments("/C"));
    EXPECT_EQ(SetupMode::Usage, ClassifyArguments("/u "));
    EXPECT_EQ(SetupMode::Usage, ClassifyArguments("-c"));
    EXPECT_EQ(SetupMode::Usage, ClassifyArguments("/u /c"));
    EXPECT_EQ(SetupMode::Usage, ClassifyArguments("/x"));
}

TEST(SetupFolders, CreatesSeveralMissingLevelsAndRefusesAFile)
{
    CTempDir dir(L"folders");
    std::string nested = Temp(dir) + "\\new one\\new two\\three";
    EXPECT_TRUE(CreateFolderTree(nested.c_str()));
    EXPECT_TRUE(IsExistingFolder(nested.c_str()));
    EXPECT_TRUE(CreateFolderTree(nested.c_str()));

    std::string file = MakeFile(Temp(dir) + "\\plain.txt");
    EXPECT_FALSE(CreateFolderTree(file.c_str()));
    EXPECT_FALSE(CreateFolderTree((file + "\\below").c_str()));
}

TEST(SetupFolders, SameFileSeesThroughSpellings)
{
    CTempDir dir(L"same");
    std::string file = MakeFile(Temp(dir) + "\\Long File Name.dll");
    EXPECT_TRUE(IsSameFile(file.c_str(), ShortPath(file).c_str()));
    EXPECT_TRUE(IsSameFile(file.c_str(), (Temp(dir) + "\\.\\LONG FILE NAME.DLL").c_str()));
    EXPECT_FALSE(IsSameFile(file.c_str(), MakeFile(Temp(dir) + "\\other.dll").c_str()));
    EXPECT_FALSE(IsSameFile(file.c_str(), (Temp(dir) + "\\missing.dll").c_str()));
}

TEST(SetupDeletion, DeletesOrMovesAsideAndSchedulesOnNt)
{
    CPendingRenames pending;
    CTempDir dir(L"delete");
    std::string plain = MakeFile(Temp(dir) + "\\plain.dll");
    EXPECT_EQ(DeleteOutcome::Gone, DeleteOrSchedule(plain.c_str()));
    EXPECT_FALSE(FileExists(plain));
    EXPECT_EQ(DeleteOutcome::Gone, DeleteOrSchedule(plain.c_str()));
    EXPECT_EQ(DeleteOutcome::Gone, DeleteOrSchedule((Temp(dir) + "\\no folder\\x.dll").c_str()));
    EXPECT_TRUE(pending.Added().empty());

    // A read-only file cannot be deleted but can be renamed: it goes aside and is deleted at restart.
    std::string locked = MakeFile(Temp(dir) + "\\locked.dll");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(DeleteOutcome::Gone, DeleteOrSchedule(locked.c_str()));
    EXPECT_FALSE(FileExists(locked));
    EXPECT_TRUE(FileExists(locked + ".$$$"));
    auto added = pending.Added();
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(NtPath(locked + ".$$$"), added[0].first);
    EXPECT_EQ(L"", added[0].second);

    // The name aside is still taken (no restart since): the file itself stays and is scheduled.
    MakeFile(locked);
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(DeleteOutcome::AtRestart, DeleteOrSchedule(locked.c_str()));
    EXPECT_TRUE(FileExists(locked));
    added = pending.Added();
    ASSERT_EQ(2u, added.size());
    EXPECT_EQ(NtPath(locked), added[1].first);
}

TEST(SetupDeletion, AFileThatCanBeNeitherDeletedNorScheduledIsAFailure)
{
    CPendingRenames pending;
    CTempDir dir(L"unscheduled");
    std::string locked = MakeFile(Temp(dir) + "\\locked.dll");
    MakeFile(locked + ".$$$");  // the name aside is taken
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        CReadOnlySessionManager readOnly;
        EXPECT_EQ(DeleteOutcome::Failed, DeleteOrSchedule(locked.c_str()));
    }
    EXPECT_TRUE(FileExists(locked));
    EXPECT_TRUE(pending.Added().empty());
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {
std::string g_fakeWindowsFolder;
bool OlderFamily()
{
    return false;
}
UINT FakeWindowsFolder(LPSTR buffer, UINT size)
{
    lstrcpynA(buffer, g_fakeWindowsFolder.c_str(), int(size));
    return UINT(g_fakeWindowsFolder.size());
}

// Runs the Windows 9x path, which keeps its list in "WinInit.ini" of a folder of the test's own.
class OlderFamilyDeletion : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = g_restartPlatform;
        g_fakeWindowsFolder = Temp(m_windows);
        g_restartPlatform = { OlderFamily, FakeWindowsFolder };
    }
    void TearDown() override { g_restartPlatform = m_saved; }

    CTempDir m_windows{ L"windows" };
    RestartPlatform m_saved;
};
}

TEST_F(OlderFamilyDeletion, EveryScheduledFileAddsOneNulLine)
{
    CTempDir dir(L"nine");
    std::string first = MakeFile(Temp(dir) + "\\Morvane.dll");
    std::string second = MakeFile(Temp(dir) + "\\Setup.exe");
    SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(second.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string deletable = MakeFile(Temp(dir) + "\\Quarnel.dll");

    EXPECT_EQ(DeleteOutcome::Gone, DeleteOrSchedule(first.c_str()));
    EXPECT_EQ(DeleteOutcome::Gone, DeleteOrSchedule(deletable.c_str()));
    EXPECT_EQ(DeleteOutcome::Gone, DeleteOrSchedule(second.c_str()));

    std::string content = ReadWholeFile(Temp(m_windows) + "\\WinInit.ini");
    std::string expected = "[Rename]\r\nNUL=" + ShortPath(first + ".$$$") + "\r\nNUL=" + ShortPath(second + ".$$$") + "\r\n";
    EXPECT_EQ(expected, content);
    EXPECT_EQ(std::string::npos, content.find("@@@="));
}

TEST_F(OlderFamilyDeletion, AnUnusableInitFileIsAFailure)
{
    g_fakeWindowsFolder = Temp(m_windows) + "\\missing folder";
    CTempDir dir(L"nine");
    std::string locked = MakeFile(Temp(dir) + "\\Morvane.dll");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(DeleteOutcome::Failed, DeleteOrSchedule(locked.c_str()));
}

TEST(SetupKeys, DeleteKeyTreeRemovesEverythingBelow)
{
    const char root[] = "Software\\Zeph\\MorvaneSetupTest";
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(root) + "\\a\\b\\c").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    RegCloseKey(key);
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(root) + "\\d").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CURRENT_USER, root));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ToWide(root)));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteKeyTree(HKEY_CURRENT_USER, root));
}

TEST_F(SetupTest, InstallsOverAPreviousVersionRegisteredElsewhere)
{
    CInstallFolder previous("Previous");
    CInstallFolder destination("Destination");
    CreateFolderTree(previous.Path().c_str());
    CreateFolderTree(destination.Path().c_str());
    CopyInto(Narrow(BuiltModulePath()), previous / "Morvane.dll");
    ASSERT_TRUE(RegisterModuleAt(previous / "Morvane.dll"));
    for (const char* name : { "Setup.exe", "Quarnel.dll", "Quarnel.inf", "Inspecto.exe", "Register.dll" })
        MakeFile(previous / name);
    MakeFile(destination / "Quarnel.dll");

    RunAllSteps(destination.Path());

    for (const char* name : { "Morvane.dll", "Setup.exe", "Quarnel.dll", "Quarnel.inf", "Inspecto.exe", "Register.dll" })
        EXPECT_FALSE(FileExists(previous / name)) << name;
    EXPECT_TRUE(FileExists(destination / "Quarnel.dll")) << "only the registered version's folder is cleared";
    EXPECT_TRUE(FileExists(destination / "Morvane.dll"));
    EXPECT_TRUE(FileExists(destination / "Setup.exe"));
    std::string server;
    EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kHandlerClsid + "\\InprocServer32", nullptr, server));
    EXPECT_EQ(destination / "Morvane.dll", server);
}

TEST_F(SetupTest, AReadOnlyPreviousModuleIsMovedAsideAndReplaced)
{
    CPendingRenames pending;
    CInstallFolder destination("ReadOnly");
    CreateFolderTree(destination.Path().c_str());
    std::string old = destination / "Morvane.dll";
    CopyInto(Narrow(BuiltModulePath()), old);
    ASSERT_TRUE(RegisterModuleAt(old));
    SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY);

    RunAllSteps(destination.Path());

    EXPECT_TRUE(FileExists(old + ".$$$"));
    auto added = pending.Added();
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(NtPath(old + ".$$$"), added[0].first);
    EXPECT_EQ(L"", added[0].second);
    EXPECT_TRUE(FileExists(old));
    EXPECT_FALSE(GetFileAttributesA(old.c_str()) & FILE_ATTRIBUTE_READONLY) << "the new copy took the freed name";
    std::string server;
    EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kHandlerClsid + "\\InprocServer32", nullptr, server));
    EXPECT_EQ(old, server);
    SetFileAttributesA((old + ".$$$").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SetupTest, ADestinationWithATrailingBackslashGetsNoSecondOne)
{
    CInstallFolder destination("Trailing");
    CreateFolderTree(destination.Path().c_str());
    RunAllSteps(destination.Path() + "\\");

    std::string command, location, server;
    EXPECT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", command));
    EXPECT_EQ("\"" + destination.Path() + "\\Setup.exe\" /u", command);
    EXPECT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", location));
    EXPECT_EQ(destination.Path() + "\\", location);
    EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kHandlerClsid + "\\InprocServer32", nullptr, server));
    EXPECT_EQ(destination / "Morvane.dll", server);
}

// The check only reads: these cases break one link of a real registration each.
class CheckTest : public SetupTest {
protected:
    void Register()
    {
        m_module = Temp(m_folder) + "\\Morvane.dll";
        CopyInto(Narrow(BuiltModulePath()), m_module);
        ASSERT_TRUE(RegisterModuleAt(m_module));
    }
    std::string CompleteStart() const
    {
        return std::string("ProgID = MorvaneMenuHandler Class.\r\nCLSID = ") + kHandlerClsid +
               "\r\nClass ID = MorvaneMenuHandler Class.\r\nPath = '" + m_module + "'\r\nModel = 'Both'\r\n";
    }

    CTempDir m_folder{ L"check" };
    std::string m_module;
    CString m_report;
};

TEST_F(CheckTest, NeverRegistered)
{
    EXPECT_FALSE(BuildCheckReport(m_report));
    EXPECT_STREQ("Could not open ProgID", m_report);
}

TEST_F(CheckTest, CompleteInstallation)
{
    Register();
    EXPECT_TRUE(BuildCheckReport(m_report));
    EXPECT_EQ(CompleteStart() + "ContextMenuHandler ok.\r\nCode module loaded.\r\nEntry point loaded.\r\n----\r\n"
                                "Morvane files are properly installed.",
              std::string(m_report));
}

TEST_F(CheckTest, HandlerMismatch)
{
    Register();
    WriteString(HKEY_CLASSES_ROOT, L"*\\shellex\\ContextMenuHandlers\\MorvaneMenu", nullptr,
                L"{5a1e0c37-6b2d-4f80-9c14-7e3b2a9d0f61}");
    EXPECT_FALSE(BuildCheckReport(m_report));
    EXPECT_EQ(CompleteStart() + "MorvaneMenu = {5a1e0c37-6b2d-4f80-9c14-7e3b2a9d0f61}\r\nMenu handler does not match CLSID.",
              std::string(m_report));
}

TEST_F(CheckTest, MissingThreadingModel)
{
    Register();
    HKEY server = nullptr;
    RegOpenKeyExA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kHandlerClsid + "\\InprocServer32").c_str(), 0,
                  KEY_SET_VALUE, &server);
    RegDeleteValueA(server, "ThreadingModel");
    RegCloseKey(server);
    EXPECT_FALSE(BuildCheckReport(m_report));
    std::string start = CompleteStart();
    start.resize(start.find("Model = "));
    EXPECT_EQ(start + "Could not read CLSID model.", std::string(m_report));
}

TEST_F(CheckTest, ModuleFileDeleted)
{
    Register();
    ASSERT_TRUE(DeleteFileA(m_module.c_str()));
    EXPECT_FALSE(BuildCheckReport(m_report));
    EXPECT_EQ(CompleteStart() + "ContextMenuHandler ok.\r\nMorvane.dll does not exist in path.\r\nCould not load Morvane.dll.",
              std::string(m_report));
}

// Windows 11's menu on an older Windows (Wine reports Windows 7): nothing of it is added. The
// Windows 11 path runs in a prefix of its own (SetupWindows11Tests.cpp).
namespace {
int g_runCount = 0;
bool CountRun(const ProgramRun&)
{
    ++g_runCount;
    return true;
}
}

TEST_F(SetupTest, OlderWindowsGetsNeitherThePackageNorItsFolder)
{
    ASSERT_FALSE(HasModernMenu());
    CInstallFolder destination("Older");
    CreateFolderTree(destination.Path().c_str());
    g_runCount = 0;
    ProgramRunner previous = SetProgramRunner(&CountRun);
    RunAllSteps(destination.Path());
    SetProgramRunner(previous);
    EXPECT_EQ(0, g_runCount);
    EXPECT_TRUE(FileExists(destination / "MorvaneRun.exe"));
    EXPECT_TRUE(FileExists(destination / "Morvane.msix"));
    EXPECT_FALSE(FileExists(destination / "Modern"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
                                               L"{5A1E0C47-6B2D-4F80-9C14-7E3B2A9D0F61}"));
}

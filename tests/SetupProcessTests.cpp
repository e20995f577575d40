// Setup.exe itself, run as a process: the test plays the user, finds the wizard, the boxes and the
// verification dialog on the screen, reads their texts and presses their buttons.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <sddl.h>
#include "FolderTree.h"
#include "SetupTestSupport.h"

namespace {

const int kBackButton = 0x3023;
const char kUsage[] = "Usage: Setup [/u | /c]\n\n/u\tUninstall Morvane.\n/c\tCheck Installation.";
const char kRemovalQuestion[] = "This will remove all components of Morvane 1.93. Continue?";

class SetupProcessTest : public testing::Test {
protected:
    void SetUp() override { RemoveAnyInstallation(); }
    void TearDown() override { RemoveAnyInstallation(); }
};

void ExpectInstalledIn(const std::string& folder)
{
    EXPECT_TRUE(FileExists(folder + "\\Morvane.dll"));
    EXPECT_TRUE(FileExists(folder + "\\Setup.exe"));
    std::string text;
    const std::string handler = std::string("CLSID\\") + kHandlerClsid;
    EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, handler + "\\InprocServer32", nullptr, text));
    EXPECT_EQ(folder + "\\Morvane.dll", text);
    EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, handler + "\\InprocServer32", "ThreadingModel", text));
    EXPECT_EQ("Both", text);
    EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, "Morvane.MenuHandler.1\\CLSID", nullptr, text));
    EXPECT_EQ(kHandlerClsid, text);
    for (const char* hooked : { "*", "lnkfile", "piffile", "InternetShortcut" }) {
        EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, std::string(hooked) + "\\shellex\\ContextMenuHandlers\\MorvaneMenu",
                             nullptr, text))
            << hooked;
        EXPECT_EQ(kHandlerClsid, text);
    }
    EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kLoggerClsid + "\\InprocServer32", nullptr, text));
    EXPECT_EQ(folder + "\\Morvane.dll", text);
}

void ExpectUninstallEntry(const std::string& folder)
{
    const std::pair<const char*, std::string> values[] = {
        { "DisplayName", "Morvane v1.93" },
        { "UninstallString", "\"" + folder + "\\Setup.exe\" /u" },
        { "DisplayVersion", "1.93" },
        { "Publisher", "Zeph Software" },
        { "DisplayIcon", folder + "\\Setup.exe,0" },
        { "InstallLocation", folder + "\\" },
    };
    for (const auto& value : values) {
        std::string text;
        EXPECT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, value.first, text)) << value.first;
        EXPECT_EQ(value.second, text) << value.first;
    }
}

bool AnyRegistrationLeft()
{
    return KeyExists(HKEY_CLASSES_ROOT, L"Morvane.MenuHandler.1") ||
           KeyExists(HKEY_CLASSES_ROOT, ToWide((std::string("CLSID\\") + kHandlerClsid).c_str())) ||
           KeyExists(HKEY_CLASSES_ROOT, L"*\\shellex\\ContextMenuHandlers\\MorvaneMenu") ||
           KeyExists(HKEY_LOCAL_MACHINE, ToWide(kUninstallKey));
}

}

TEST_F(SetupProcessTest, InstallsChecksAndRemovesThroughItsOwnWindows)
{
    CPendingRenames pending;
    CInstallFolder base("Cycle");
    const std::string folder = base.Path() + "\\Two Levels";

    {
        CSetupProcess setup(BuiltSetupPath(), "");
        HWND sheet = setup.WaitForSheet();
        ASSERT_TRUE(sheet);
        HWND welcome = setup.WaitForPage(sheet, 1009);
        ASSERT_TRUE(welcome);
        EXPECT_EQ("Welcome to the Morvane Installation. This program will guide you through the installation of "
                  "Morvane version 1.93.",
                  ItemText(welcome, 1009));
        PressWizard(sheet, PSBTN_NEXT);
        HWND location = setup.WaitForPage(sheet, 1002);
        ASSERT_TRUE(location);
        EXPECT_EQ("C:\\Program Files\\Morvane", ItemText(location, 1002));
        SetTextOf(GetDlgItem(location, 1002), folder);
        PressWizard(sheet, PSBTN_NEXT);
        FoundWindow create = AnswerMessageBox(setup, IDYES);
        EXPECT_EQ("Create path?", create.caption);
        EXPECT_EQ("Path '" + folder + "' does not exist - would you like to create it?", create.text);
        HWND ready = setup.WaitForPage(sheet, 1003);
        ASSERT_TRUE(ready);
        EXPECT_EQ(folder, ItemText(ready, 1003));
        EXPECT_TRUE(IsExistingFolder(folder.c_str())) << "both missing levels were created";
        EXPECT_FALSE(FileExists(folder + "\\Morvane.dll")) << "nothing is copied before Finish";

        PressWizard(sheet, PSBTN_FINISH);
        HWND complete = WaitForCompletionPage(sheet);
        ASSERT_TRUE(complete);
        EXPECT_TRUE(HasChildText(complete, "Morvane files were copied successfully."));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(complete, kModernNoteId))) << "no Windows 11 menu here";
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, IDCANCEL)));
        HWND back = GetDlgItem(sheet, kBackButton);
        EXPECT_FALSE(IsWindowVisible(back) && IsWindowEnabled(back));
        PressWizard(sheet, PSBTN_FINISH);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    ExpectInstalledIn(folder);
    ExpectUninstallEntry(folder);
    // The package of Windows 11's menu travels with the module (Wine reports an older Windows, so
    // nothing registers it here).
    EXPECT_TRUE(FileExists(folder + "\\Morvane.msix"));
    EXPECT_TRUE(FileExists(folder + "\\Morvane.cer"));
    EXPECT_TRUE(FileExists(folder + "\\MorvaneRun.exe"));
    EXPECT_FALSE(FileExists(folder + "\\Modern"));

    int exitCode = -1;
    std::string report = CheckReport(folder + "\\Setup.exe", exitCode);
    EXPECT_EQ(0, exitCode);
    EXPECT_EQ(std::string("ProgID = MorvaneMenuHandler Class.\r\nCLSID = ") + kHandlerClsid +
                  "\r\nClass ID = MorvaneMenuHandler Class.\r\nPath = '" + folder +
                  "\\Morvane.dll'\r\nModel = 'Both'\r\nContextMenuHandler ok.\r\nCode module loaded.\r\n"
                  "Entry point loaded.\r\n----\r\nMorvane files are properly installed.",
              report);

    // The uninstall entry's own command, declined: nothing changes.
    std::string command;
    ASSERT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", command));
    const std::string program = command.substr(1, command.rfind('"') - 1);
    {
        CSetupProcess setup(program, "/u");
        FoundWindow box;
        ASSERT_TRUE(setup.WaitForMessageBox(box));
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(box.hwnd, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON) << "No is the default";
        // The default button carries the style and the focus. (DM_GETDEFID cannot tell: Wine's box
        // answers IDOK there whatever its buttons.)
        GUITHREADINFO gui = { sizeof(gui) };
        GetGUIThreadInfo(GetWindowThreadProcessId(box.hwnd, nullptr), &gui);
        EXPECT_EQ(GetDlgItem(box.hwnd, IDNO), gui.hwndFocus);
        FoundWindow question = AnswerMessageBox(setup, IDNO);
        EXPECT_EQ("Morvane Removal", question.caption);
        EXPECT_EQ(kRemovalQuestion, question.text);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    ExpectInstalledIn(folder);
    ExpectUninstallEntry(folder);

    {
        CSetupProcess setup(program, "/u");
        FoundWindow question = AnswerMessageBox(setup, IDYES);
        EXPECT_EQ(kRemovalQuestion, question.text);
        FoundWindow done = AnswerMessageBox(setup, IDOK);
        EXPECT_EQ("Uninstall Complete", done.caption);
        EXPECT_EQ("Morvane files removed successfully.", done.text);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    EXPECT_FALSE(AnyRegistrationLeft());
    EXPECT_FALSE(FileExists(folder + "\\Morvane.dll"));
    EXPECT_FALSE(FileExists(folder + "\\Setup.exe"));
    EXPECT_FALSE(FileExists(folder + "\\Morvane.msix"));
    EXPECT_FALSE(FileExists(folder + "\\Morvane.cer"));
    EXPECT_FALSE(FileExists(folder + "\\MorvaneRun.exe"));
    EXPECT_TRUE(IsExistingFolder(folder.c_str())) << "the folder itself stays";
    // The running installer could only be moved aside; its deletion waits for the restart.
    EXPECT_TRUE(FileExists(folder + "\\Setup.exe.$$$"));
    auto added = pending.Added();
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(L"\\??\\" + ToWide((folder + "\\Setup.exe.$$$").c_str()), added[0].first);
    EXPECT_EQ(L"", added[0].second);
    SetFileAttributesA((folder + "\\Setup.exe.$$$").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SetupProcessTest, OnlyTheExactSwitchesSelectAMode)
{
    for (const char* arguments : { "/u ", "-c", "/u /c", "/x" }) {
        SCOPED_TRACE(arguments);
        CSetupProcess setup(BuiltSetupPath(), arguments);
        FoundWindow usage = AnswerMessageBox(setup, IDOK);
        EXPECT_EQ("Setup", usage.caption);
        EXPECT_EQ(kUsage, usage.text);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    CSetupProcess upper(BuiltSetupPath(), "/U");
    FoundWindow question = AnswerMessageBox(upper, IDNO);
    EXPECT_EQ("Morvane Removal", question.caption);
    EXPECT_EQ(kRemovalQuestion, question.text);
    EXPECT_EQ(0, upper.WaitForExit());
}

// Runs the wizard to its last page for the folder, presses Finish and answers the failure box.
FoundWindow FinishExpectingFailure(CSetupProcess& setup, const std::string& folder)
{
    HWND sheet = WizardToReadyPage(setup, folder, true);
    EXPECT_TRUE(sheet);
    if (!sheet)
        return FoundWindow();
    PressWizard(sheet, PSBTN_FINISH);
    return AnswerMessageBox(setup, IDOK);
}

TEST_F(SetupProcessTest, ARenamedInstallerWithoutSetupBesideItCannotCopy)
{
    CTempDir media(L"media");
    const std::string installer = Narrow(media / L"Installer.exe");
    CopyInto(BuiltSetupPath(), installer);
    CopyInto(Narrow(BuiltModulePath()), Narrow(media / L"Morvane.dll"));
    {
        CSetupProcess setup(installer, "/x");
        EXPECT_EQ("Installer", AnswerMessageBox(setup, IDOK).caption);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    CInstallFolder destination("NoSetup");
    CSetupProcess setup(installer, "");
    FoundWindow failure = FinishExpectingFailure(setup, destination.Path());
    EXPECT_EQ("Installation failed", failure.caption);
    EXPECT_EQ("Could not copy Morvane files. Ensure the destination disk is not full or write-protected and any "
              "previous version of Morvane has been removed and the system restarted.",
              failure.text);
    EXPECT_EQ(1, setup.WaitForExit());
    EXPECT_TRUE(FileExists(destination / "Morvane.dll")) << "files copied before the failure stay";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ToWide(kUninstallKey)));
}

TEST_F(SetupProcessTest, AModuleWithoutRegistrationExportEndsTheInstallation)
{
    CTempDir media(L"media");
    const std::string installer = Narrow(media / L"Setup.exe");
    CopyInto(BuiltSetupPath(), installer);
    CopyInto(BinFolder() + "\\NoRegisterModule.dll", Narrow(media / L"Morvane.dll"));
    CopyInto(BinFolder() + "\\MorvaneRun.exe", Narrow(media / L"MorvaneRun.exe"));
    CInstallFolder destination("NoExport");
    CSetupProcess setup(installer, "");
    FoundWindow failure = FinishExpectingFailure(setup, destination.Path());
    EXPECT_EQ("Installation failed", failure.caption);
    EXPECT_EQ("Could not load Morvane DLL's. \nContact manufacturer.", failure.text);
    EXPECT_EQ(1, setup.WaitForExit());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ToWide(kUninstallKey)));
}

TEST_F(SetupProcessTest, AFailedRegistrationEndsTheInstallationAndLeavesTheWayToRemoveIt)
{
    CPendingRenames pending;
    CTempDir media(L"media");
    const std::string installer = Narrow(media / L"Setup.exe");
    CopyInto(BuiltSetupPath(), installer);
    CopyInto(BinFolder() + "\\FailingRegisterModule.dll", Narrow(media / L"Morvane.dll"));
    CopyInto(BinFolder() + "\\MorvaneRun.exe", Narrow(media / L"MorvaneRun.exe"));
    CInstallFolder destination("Unregistered");
    {
        CSetupProcess setup(installer, "");
        FoundWindow failure = FinishExpectingFailure(setup, destination.Path());
        EXPECT_EQ("Installation failed", failure.caption);
        EXPECT_EQ("Could not register Morvane.dll.", failure.text);
        EXPECT_EQ(1, setup.WaitForExit());
    }
    ExpectUninstallEntry(destination.Path());

    CSetupProcess removal(destination / "Setup.exe", "/u");
    AnswerMessageBox(removal, IDYES);
    EXPECT_EQ("Uninstall Complete", AnswerMessageBox(removal, IDOK).caption);
    EXPECT_EQ(0, removal.WaitForExit());
    EXPECT_FALSE(FileExists(destination / "Morvane.dll"));
    EXPECT_FALSE(FileExists(destination / "Setup.exe"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ToWide(kUninstallKey)));
    SetFileAttributesA((destination / "Setup.exe.$$$").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SetupProcessTest, RemovalNamesTheFileThatCanBeNeitherDeletedNorScheduled)
{
    CPendingRenames pending;
    CInstallFolder folder("Unschedulable");
    CreateFolderTree(folder.Path().c_str());
    CopyInto(Narrow(BuiltModulePath()), folder / "Morvane.dll");
    ASSERT_TRUE(RegisterModuleAt(folder / "Morvane.dll"));
    CopyInto(Narrow(BuiltModulePath()), folder / "Morvane.dll.$$$");  // the name aside is taken
    SetFileAttributesA((folder / "Morvane.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    {
        CReadOnlySessionManager readOnly;
        CSetupProcess setup(BuiltSetupPath(), "/u");
        AnswerMessageBox(setup, IDYES);
        FoundWindow failure = AnswerMessageBox(setup, IDOK);
        EXPECT_EQ("Setup", failure.caption);
        EXPECT_EQ("Not all files could be deleted from '" + folder.Path() + "\\'. Try restarting and removing them "
                  "with Explorer.\n\n'" + (folder / "Morvane.dll") + "' could be neither deleted nor scheduled for "
                  "deletion.",
                  failure.text);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    EXPECT_TRUE(pending.Added().empty());
    SetFileAttributesA((folder / "Morvane.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SetupProcessTest, StartedFromItsOwnFolderItInstallsInPlace)
{
    CInstallFolder folder("InPlace");
    CreateFolderTree(folder.Path().c_str());
    CopyInto(BuiltSetupPath(), folder / "Setup.exe");
    CopyInto(Narrow(BuiltModulePath()), folder / "Morvane.dll");
    CopyInto(BinFolder() + "\\MorvaneRun.exe", folder / "MorvaneRun.exe");
    ASSERT_TRUE(RegisterModuleAt(folder / "Morvane.dll"));

    InstallWithWizard(folder / "Setup.exe", folder.Path());
    ExpectInstalledIn(folder.Path());
    ExpectUninstallEntry(folder.Path());
}

TEST_F(SetupProcessTest, AModuleHeldLoadedIsMovedAsideAndReplaced)
{
    CPendingRenames pending;
    CInstallFolder folder("Loaded");
    CreateFolderTree(folder.Path().c_str());
    const std::string old = folder / "Morvane.dll";
    CopyInto(Narrow(BuiltModulePath()), old);
    ASSERT_TRUE(RegisterModuleAt(old));
    {
        // This process plays the shell that holds the old module loaded.
        CLibrary held(LoadLibraryA(old.c_str()));
        ASSERT_TRUE(held.IsValid());
        InstallWithWizard(BuiltSetupPath(), folder.Path());
    }
    EXPECT_TRUE(FileExists(old + ".$$$"));
    auto added = pending.Added();
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(L"\\??\\" + ToWide((old + ".$$$").c_str()), added[0].first);
    ExpectInstalledIn(folder.Path());
}

TEST_F(SetupProcessTest, TheLocationPageValidatesAndCancelChangesNothing)
{
    CInstallFolder first("First");
    CInstallFolder second("Second");
    CreateFolderTree(first.Path().c_str());
    CreateFolderTree(second.Path().c_str());
    CTempDir scratch(L"scratch");
    const std::string file = Narrow(scratch.MakeFile(L"plain file.txt"));

    CSetupProcess setup(BuiltSetupPath(), "");
    HWND sheet = setup.WaitForSheet();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(setup.WaitForPage(sheet, 1009));
    PressWizard(sheet, PSBTN_NEXT);
    HWND location = setup.WaitForPage(sheet, 1002);
    ASSERT_TRUE(location);
    HWND edit = GetDlgItem(location, 1002);

    // A relative folder is taken below the current folder; declining to create it stays.
    SetTextOf(edit, "relative folder");
    PressWizard(sheet, PSBTN_NEXT);
    FoundWindow create = AnswerMessageBox(setup, IDNO);
    EXPECT_EQ("Path '" + BinFolder() + "\\relative folder' does not exist - would you like to create it?", create.text);
    ASSERT_TRUE(setup.WaitForPage(sheet, 1002));
    EXPECT_FALSE(IsExistingFolder((BinFolder() + "\\relative folder").c_str()));

    // An existing file cannot become the folder.
    SetTextOf(edit, file);
    PressWizard(sheet, PSBTN_NEXT);
    EXPECT_EQ("Create path?", AnswerMessageBox(setup, IDYES).caption);
    FoundWindow cannot = AnswerMessageBox(setup, IDOK);
    EXPECT_EQ("Setup", cannot.caption);
    EXPECT_EQ("Could not create installation path.\nEnsure disk is not full or write-protected or select a different "
              "directory.",
              cannot.text);
    ASSERT_TRUE(setup.WaitForPage(sheet, 1002));

    // Back from the ready page and a new folder: the ready page shows the new one.
    SetTextOf(edit, first.Path());
    PressWizard(sheet, PSBTN_NEXT);
    HWND ready = setup.WaitForPage(sheet, 1003);
    ASSERT_TRUE(ready);
    EXPECT_EQ(first.Path(), ItemText(ready, 1003));
    PressWizard(sheet, PSBTN_BACK);
    ASSERT_TRUE(setup.WaitForPage(sheet, 1002));
    EXPECT_EQ(first.Path(), TextOf(edit));
    SetTextOf(edit, second.Path());
    PressWizard(sheet, PSBTN_NEXT);
    ASSERT_TRUE(setup.WaitForPage(sheet, 1003));
    EXPECT_EQ(second.Path(), ItemText(ready, 1003));

    PressWizard(sheet, PSBTN_CANCEL);
    EXPECT_EQ(0, setup.WaitForExit());
    EXPECT_FALSE(FileExists(first / "Morvane.dll"));
    EXPECT_FALSE(FileExists(second / "Morvane.dll"));
    EXPECT_FALSE(AnyRegistrationLeft());
}

namespace {

// Gives a key of HKEY_CLASSES_ROOT the access described in SDDL.
void SetClassKeyAccess(const std::string& key, const wchar_t* sddl)
{
    CRegKeyHandle handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, WRITE_DAC, &handle) != ERROR_SUCCESS)
        return;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return;
    RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
}

TEST_F(SetupProcessTest, RemovalFindsTheModuleThroughKeysTheUserMayOnlyRead)
{
    CInstallFolder folder("Read Only Keys");
    CreateFolderTree(folder.Path().c_str());
    CopyInto(Narrow(BuiltModulePath()), folder / "Morvane.dll");
    ASSERT_TRUE(RegisterModuleAt(folder / "Morvane.dll"));
    const std::string keys[] = { "Morvane.MenuHandler.1\\CLSID",
                                 std::string("CLSID\\") + kHandlerClsid + "\\InprocServer32" };
    for (const std::string& key : keys)
        SetClassKeyAccess(key, L"D:P(A;;KR;;;WD)");
    {
        CSetupProcess setup(BuiltSetupPath(), "/u");
        AnswerMessageBox(setup, IDYES);
        FoundWindow done = AnswerMessageBox(setup, IDOK);
        EXPECT_EQ("Uninstall Complete", done.caption);
        EXPECT_EQ("Morvane files removed successfully.", done.text);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    for (const std::string& key : keys)
        SetClassKeyAccess(key, L"D:(A;;KA;;;WD)");
    EXPECT_FALSE(FileExists(folder / "Morvane.dll")) << "success was reported with the module still in place";
}

}

// Without a manifest Windows runs the installer unelevated, and it can write neither the program
// folder nor HKEY_LOCAL_MACHINE (Wine ignores the request, so the bytes are what can be tested).
TEST(SetupBinary, ItsManifestAsksForElevationAndNamesTheSupportedSystems)
{
    CLibrary setup(LoadLibraryExA(BuiltSetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(setup.IsValid());
    HRSRC resource = FindResourceA(setup, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_TRUE(resource);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(setup, resource)));
    ASSERT_TRUE(bytes);
    const std::string manifest(bytes, SizeofResource(setup, resource));
    for (const char* part : {
             "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
             "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
             "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>" })
        EXPECT_NE(std::string::npos, manifest.find(part)) << part;
}

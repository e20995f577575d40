#include "SetupApp.h"
#include "Check.h"
#include "CommandLine.h"
#include "DestPage.h"
#include "FinishedPage.h"
#include "FolderTree.h"
#include "InstalledPage.h"
#include "Messages.h"
#include "Product.h"
#include "PropertySheet.h"
#include "Removal.h"
#include "WelcomePage.h"
#include <ole2.h>

namespace {

void RunWizard()
{
    CWelcomePage welcome;
    CDestPage location;
    CFinishedPage ready;
    CInstalledPage complete;
    CPropertySheet sheet(TEXT("Morvane Setup"));
    sheet.AddPage(welcome);
    sheet.AddPage(location);
    sheet.AddPage(ready);
    sheet.AddPage(complete);
    sheet.SetWizardMode();
    sheet.DoModal();
}

void ConfirmRemoval()
{
    if (ShowMessageBox(nullptr, "This will remove all components of Morvane " MORVANE_VERSION_TEXT ". Continue?",
                      "Morvane Removal", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        RemoveInstallation();
}

}

LPCSTR ProgramTitle()
{
    static char title[MAX_PATH];
    if (title[0])
        return title;
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return title;
    LPCSTR slash = LastBackslash(path);
    lstrcpynA(title, slash ? slash + 1 : path, MAX_PATH);
    char* dot = nullptr;
    for (char* p = title; *p; p = ::CharNextA(p)) {
        if (*p == '.')
            dot = p;
    }
    if (dot && dot != title)
        *dot = 0;
    return title;
}

CSetupApp::CSetupApp()
{
}

BOOL CSetupApp::InitInstance()
{
    ::CoInitialize(nullptr);
    SetAppName(ProgramTitle());
    switch (ClassifyArguments(CommandLineArguments(::GetCommandLineA()))) {
    case SetupMode::Remove:
        ConfirmRemoval();
        break;
    case SetupMode::Check:
        CheckInstallation();
        break;
    case SetupMode::Usage:
        ShowMessageBox(nullptr, "Usage: Setup [/u | /c]\n\n/u\tUninstall Morvane.\n/c\tCheck Installation.");
        break;
    case SetupMode::Wizard:
        RunWizard();
        break;
    }
    // The mode has run; no message loop follows.
    return FALSE;
}

int CSetupApp::ExitInstance()
{
    ::CoUninitialize();
    return CApp::ExitInstance();
}

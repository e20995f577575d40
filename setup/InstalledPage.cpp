#include "InstalledPage.h"
#include "ActiveSetup.h"
#include "ModernMenu.h"
#include "resource.h"

CInstalledPage::CInstalledPage() : CPropertyPage(IDD_INSTALLED)
{
}

bool CInstalledPage::OnSetActive()
{
    HWND sheet = GetSheet();
    CancelToClose();
    SetWizardButtons(PSWIZB_FINISH);
    ::SendMessage(sheet, PSM_SETFINISHTEXT, 0, reinterpret_cast<LPARAM>(TEXT("Close")));
    ::SetForegroundWindow(sheet);
    // Explorer reads the packages' menus when it starts; Active Setup registers the package for each
    // account at its next sign-in. Without the entry the package could not be added at all.
    ::ShowWindow(GetItem(IDC_MODERN_NOTE), HasModernMenu() && HasActiveSetupEntry() ? SW_SHOW : SW_HIDE);
    return CPropertyPage::OnSetActive();
}

#include "InstalledPage.h"
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
    return CPropertyPage::OnSetActive();
}

#include "FinishedPage.h"
#include "Installation.h"
#include "resource.h"

namespace {
const int kInstalledPageIndex = 3;
}

CFinishedPage::CFinishedPage() : CPropertyPage(IDD_READY)
{
}

void CFinishedPage::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_READY_FOLDER, m_folder);
}

bool CFinishedPage::OnSetActive()
{
    SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    // The location page answers with its folder.
    LRESULT answer = QuerySiblings(0, 0);
    m_folder = answer ? reinterpret_cast<LPCSTR>(answer) : "";
    UpdateData(false);
    return CPropertyPage::OnSetActive();
}

bool CFinishedPage::OnWizardFinish()
{
    SetWizardButtons(PSWIZB_DISABLEDFINISH);
    UINT step = 0;
    while (RunInstallStep(m_folder, step)) {
    }
    ::SendMessage(GetSheet(), PSM_SETCURSEL, kInstalledPageIndex, 0);
    // The sheet stays open on the completion page.
    return false;
}

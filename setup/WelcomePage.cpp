#include "WelcomePage.h"
#include "Product.h"
#include "resource.h"

CWelcomePage::CWelcomePage() : CPropertyPage(IDD_WELCOME)
{
}

void CWelcomePage::DoDataExchange(CDataExchange& exchange)
{
    exchange.Control(IDC_WELCOME_TEXT, m_welcomeText);
}

BOOL CWelcomePage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // The template's text holds the place of the version.
    CString format = GetItemText(IDC_WELCOME_TEXT);
    CString text;
    if (text.Format(format, MORVANE_VERSION_TEXT))
        ::SetWindowTextA(m_welcomeText, text);
    return TRUE;
}

bool CWelcomePage::OnSetActive()
{
    SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

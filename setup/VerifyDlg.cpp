#include "VerifyDlg.h"
#include "resource.h"

CVerifyDlg::CVerifyDlg() : CDialog(IDD_VERIFY)
{
}

void CVerifyDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_RESULTS, m_results);
}

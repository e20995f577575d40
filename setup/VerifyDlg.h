// The verification dialog: the check's findings in a read-only edit the user can copy from.
#pragma once
#include "Dialog.h"

class CVerifyDlg : public CDialog {
public:
    CVerifyDlg();

    CString m_results;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
};

// Wizard page 3: shows the chosen folder; Finish runs the installation.
#pragma once
#include "PropertyPage.h"

class CFinishedPage : public CPropertyPage {
public:
    CFinishedPage();

    CString m_folder;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnSetActive() override;
    bool OnWizardFinish() override;
};

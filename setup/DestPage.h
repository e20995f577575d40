// Wizard page 2: the destination folder, proposed below the program-files folder, typed or
// browsed for, and made a full path (and created on request) before the wizard goes on.
#pragma once
#include "PropertyPage.h"

class CDestPage : public CPropertyPage {
public:
    CDestPage();

    CString m_folder;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSetActive() override;
    LRESULT OnWizardNext() override;

private:
    void ProposeDefaultFolder();
    void Browse();
};

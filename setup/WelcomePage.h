// Wizard page 1: the welcome text with the product version.
#pragma once
#include "PropertyPage.h"

class CWelcomePage : public CPropertyPage {
public:
    CWelcomePage();

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool OnSetActive() override;

private:
    HWND m_welcomeText = nullptr;
};

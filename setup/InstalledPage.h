// Wizard page 4: the installation is complete; the only way on is "Close".
#pragma once
#include "PropertyPage.h"

class CInstalledPage : public CPropertyPage {
public:
    CInstalledPage();

protected:
    bool OnSetActive() override;
};

// The sheet's Shortcut page: the target, arguments and working folder of the selected shortcut.
#pragma once
#include "PropertyPage.h"

class Parameters;

class CLinkPage : public CPropertyPage {
public:
    explicit CLinkPage(Parameters& parameters);

private:
    Parameters& m_parameters;
};

// The sheet's Options page: the user's settings.
#pragma once
#include "PropertyPage.h"

class Parameters;

class COptionsPage : public CPropertyPage {
public:
    explicit COptionsPage(Parameters& parameters);

private:
    Parameters& m_parameters;
};

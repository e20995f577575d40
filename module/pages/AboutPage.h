// The sheet's About page: the product's name, version and addresses.
#pragma once
#include "PropertyPage.h"

class Parameters;

class CAboutPage : public CPropertyPage {
public:
    explicit CAboutPage(Parameters& parameters);

private:
    Parameters& m_parameters;
};

// The sheet's Attributes page: the attributes of the selected files.
#pragma once
#include "PropertyPage.h"

class Parameters;

class CAttrPage : public CPropertyPage {
public:
    explicit CAttrPage(Parameters& parameters);

private:
    Parameters& m_parameters;
};

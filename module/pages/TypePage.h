// The sheet's Type page: the registered file types and the new extension of the selected files.
#pragma once
#include "PropertyPage.h"

class Parameters;

class CTypePage : public CPropertyPage {
public:
    explicit CTypePage(Parameters& parameters);

private:
    Parameters& m_parameters;
};

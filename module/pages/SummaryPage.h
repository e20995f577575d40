// The sheet's Summary page: the document summary of the selected file.
#pragma once
#include "PropertyPage.h"

class Parameters;

class CSummaryPage : public CPropertyPage {
public:
    explicit CSummaryPage(Parameters& parameters);

private:
    Parameters& m_parameters;
};

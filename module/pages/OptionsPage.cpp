#include "OptionsPage.h"
#include "OptionsPageRes.h"

COptionsPage::COptionsPage(Parameters& parameters) : CPropertyPage(IDD_OPTIONSPAGE), m_parameters(parameters)
{
}

#include "AttrPage.h"
#include "AttrPageRes.h"

CAttrPage::CAttrPage(Parameters& parameters) : CPropertyPage(IDD_ATTRPAGE), m_parameters(parameters)
{
}

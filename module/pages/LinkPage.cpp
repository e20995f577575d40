#include "LinkPage.h"
#include "LinkPageRes.h"

CLinkPage::CLinkPage(Parameters& parameters) : CPropertyPage(IDD_LINKPAGE), m_parameters(parameters)
{
}

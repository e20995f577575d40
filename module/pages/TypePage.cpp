#include "TypePage.h"
#include "TypePageRes.h"

CTypePage::CTypePage(Parameters& parameters) : CPropertyPage(IDD_TYPEPAGE), m_parameters(parameters)
{
}

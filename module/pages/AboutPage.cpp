#include "AboutPage.h"
#include "AboutPageRes.h"

CAboutPage::CAboutPage(Parameters& parameters) : CPropertyPage(IDD_ABOUTPAGE), m_parameters(parameters)
{
}

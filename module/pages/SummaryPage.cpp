#include "SummaryPage.h"
#include "SummaryPageRes.h"

CSummaryPage::CSummaryPage(Parameters& parameters) : CPropertyPage(IDD_SUMMARYPAGE), m_parameters(parameters)
{
}

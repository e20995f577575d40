// Resource identifiers of the Summary page.
#pragma once

#define IDD_SUMMARYPAGE 204

// Resource identifiers of the Summary page.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_SUMMARYPAGE 204
#define IDC_SUMMARY_TITLE 1004
#define IDC_SUMMARY_SUBJECT 219
#define IDC_SUMMARY_AUTHOR 220
#define IDC_SUMMARY_KEYWORDS 221
#define IDC_SUMMARY_COMMENTS 222
#define IDC_SUMMARY_READONLY_NOTE 223

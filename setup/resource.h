// Resource identifiers of the installer.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#define IDR_MAINFRAME           128
#define IDD_WELCOME             129
#define IDD_DESTINATION         130
#define IDD_READY               131
#define IDB_LOCATION            133
#define IDB_READY               135
#define IDB_WELCOME             136
#define IDD_INSTALLED           138
#define IDD_VERIFY              139

#define IDC_BROWSE              1000
#define IDC_DESTINATION         1002
#define IDC_READY_FOLDER        1003
#define IDC_RESULTS             1008
#define IDC_WELCOME_TEXT        1009
#define IDC_MODERN_NOTE         1010

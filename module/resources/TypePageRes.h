// Resource identifiers of the Type page.
#pragma once

#define IDD_TYPEPAGE 134
#define IDR_TYPE_MENU 140
#define IDC_TYPE_EXTENSION 1003
#define IDC_TYPE_LIST 1020
#define ID_TYPE_REGISTER 32775

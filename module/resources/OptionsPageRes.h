// Resource identifiers of the Options page.
#pragma once

#define IDD_OPTIONSPAGE 140

#define IDC_OPTIONS_ADDITIONALINFO      1015
#define IDC_OPTIONS_FILEDETAILS         225
#define IDC_OPTIONS_FILEDETAILS_SUB     226
#define IDC_OPTIONS_COPYMENU            209
#define IDC_OPTIONS_COPYMENU_SUB        222
#define IDC_OPTIONS_ATTRIBUTES          1035
#define IDC_OPTIONS_ATTRIBUTES_SUB      223
#define IDC_OPTIONS_SHORTCUTINFO        1032
#define IDC_OPTIONS_SHORTCUTINFO_SUB    224
#define IDC_OPTIONS_FILESUMMARY         220
#define IDC_OPTIONS_FILESUMMARY_SUB     221
#define IDC_OPTIONS_OPTIONSMENU         217
#define IDC_OPTIONS_ABOUTMENU           219
#define IDC_OPTIONS_TYPEICONS           214
#define IDC_OPTIONS_QUICKEXTS           215
#define IDC_OPTIONS_QUICKEXTS_SUB       218
#define IDC_OPTIONS_QUICKLIST           211
#define IDC_OPTIONS_ADD                 212
#define IDC_OPTIONS_REMOVE              210
#define IDC_OPTIONS_UP                  227
#define IDC_OPTIONS_DOWN                228
#define IDC_OPTIONS_SAVE                213
#define IDC_OPTIONS_REFRESH             216

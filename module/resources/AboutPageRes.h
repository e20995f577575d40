// Resource identifiers of the About page.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDS_ABOUT_NOTICE 2
#define IDC_ABOUT_LINKCURSOR 106
#define IDI_ABOUT_PRODUCT 131
#define IDD_ABOUTPAGE 138
#define IDC_ABOUT_THANKS 214
#define IDC_ABOUT_TITLE 1004
#define IDC_ABOUT_NOTICE 1023
#define IDC_ABOUT_MAIL 1024
#define IDC_ABOUT_SITE 1025
#define IDC_ABOUT_PRODUCTPAGE 1026

// Resource identifiers of the Attributes page.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_ATTRPAGE 135
#define IDC_ATTR_ARCHIVE 1007
#define IDC_ATTR_READONLY 1008
#define IDC_ATTR_HIDDEN 1009
#define IDC_ATTR_SYSTEM 1010
#define IDC_ATTR_COMPRESSED 1011
#define IDC_ATTR_TEMPORARY 1012
#define IDC_ATTR_UNION 1015
#define IDC_ATTR_MIXED 1016

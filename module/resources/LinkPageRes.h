// Resource identifiers of the Shortcut page.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_LINKPAGE 139
#define IDC_LINK_COMMAND 1001
#define IDC_LINK_BROWSE 1003
#define IDC_LINK_ARGUMENTS 206
#define IDC_LINK_WORKINGDIR 207

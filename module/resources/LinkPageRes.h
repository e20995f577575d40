// Resource identifiers of the Shortcut page.
#pragma once

#define IDD_LINKPAGE 139

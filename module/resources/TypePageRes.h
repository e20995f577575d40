// Resource identifiers of the Type page.
#pragma once

#define IDD_TYPEPAGE 134

// Resource identifiers of the Options page.
#pragma once

#define IDD_OPTIONSPAGE 140

// Resource identifiers of the About page.
#pragma once

#define IDD_ABOUTPAGE 138

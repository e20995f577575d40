// Resource identifiers of the Attributes page.
#pragma once

#define IDD_ATTRPAGE 135

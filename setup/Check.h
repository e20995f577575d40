// The installation check ("/c"): follows the registration the shell relies on and reports each
// finding as a line; the first missing link ends the report.
#pragma once
#include "Str.h"

// Builds the report; true when the installation is complete. Changes nothing.
bool BuildCheckReport(CString& report);
// Builds the report and shows it in the verification dialog.
bool CheckInstallation();

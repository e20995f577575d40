// Resource identifiers of the Morvane module.
#pragma once

#define IDS_PROJNAME            100
#define IDR_MENUHANDLER         102
#define IDR_LOGGER              103

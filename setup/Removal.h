// Removal of an installation ("/u"): the installer's keys, the module's registration and the files.
#pragma once

// Shows its own messages; false when not every file could be deleted or scheduled.
bool RemoveInstallation();

// The running-instance prompt that the installer and the uninstaller share:
// nothing is replaced or removed while the application's windows are open.
#pragma once

#include "app/installer_system.h"
#include "app/installer_ui.h"

#include <string>

// Waits until no window listed in windowList (";"-separated titles) is
// open, asking the user to close them before action ("updating",
// "removing") appName. False when the user chose Cancel; under silent, as
// soon as one is found (which is reported through ui).
bool RunningInstancesClosed(InstallerUi& ui, InstallerSystem& system, const std::string& windowList,
                            const std::string& appName, const char* action, bool silent, const std::string& title);

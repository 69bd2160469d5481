// Entry point of zorsetup.exe, the installer stub that builders prefix to
// every installation archive.
#include "app/installer_app.h"
#include "app/installer_system_win32.h"
#include "app/installer_ui_win32.h"
#include "common/windows_api.h"

namespace {

// Defined before the application object, which keeps references to them: all
// three are constructed in this order during static initialisation.
Win32InstallerUi theUi;
Win32InstallerSystem theSystem;

} // namespace

// The single application object.
InstallerApp theApp(theUi, theSystem);

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    theApp.InitInstance();
    return theApp.ExitCode();
}

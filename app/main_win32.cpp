// Entry point of zorsetup.exe, the installer stub that builders prefix to
// every installation archive.
#include "app/installer_app.h"
#include "app/installer_system_win32.h"
#include "app/installer_ui_win32.h"
#include "common/windows_api.h"

#include <cstdlib>
#include <exception>

// The runtime's default handler for an exception nobody catches prints the
// exception's demangled type to stderr, which a GUI program does not have;
// its demangler alone would add about 45 KB to every installer. Defined here,
// it replaces the runtime's, which is then never linked in. Only FileException
// can leave the archive, and InitInstance catches it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
} // namespace __gnu_cxx

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

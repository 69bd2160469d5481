// How the installer finds an earlier installation to update: through the
// uninstall entry an installation with an uninstaller writes, else through
// the App Paths key the installed application writes for its main
// executable, the archive's first entry, which may lie in a folder of the
// installation ("bin\App.exe").
#pragma once

#include "app/installer_system.h"

#include <cstddef>
#include <string>

class InstallerArchive;

struct EarlierInstallation {
    std::string executablePath; // the main executable's full path, as registered or found
    std::string directory;      // the installation directory; empty: none found
};

// The earlier installation of archive's application. An installer with an
// uninstall key reads the InstallLocation of its own entry under its
// scope's root first, taken when it is an absolute path to an existing
// directory. Otherwise the App Paths key of the main executable: a per-user
// installer looks under the current user's root first, then under the
// machine's (an earlier machine-wide installation is updated where it is); a
// machine installer only under the machine's. Nothing found: both empty.
EarlierInstallation FindEarlierInstallation(InstallerSystem& system, const InstallerArchive& archive);

// The buffer of the machine's App Paths value: the platform's path limit and
// its NUL. A longer registered path is not read.
inline constexpr std::size_t kAppPathBufferSize = 261;

// The default value of the App Paths key of the executable fileName under
// the local machine's root, read into a buffer of kAppPathBufferSize bytes:
// the full path an earlier installation registered. Empty when the key
// cannot be opened or the value not read.
std::string RegisteredAppPath(InstallerSystem& system, const std::string& fileName);

// The name of the App Paths key of the application: the file-name part of
// the first entry ("App.exe" for "bin\App.exe"), as Windows looks
// applications up by their executable's file name.
std::string AppPathsName(const std::string& firstEntryName);

// The installation directory of an earlier installation whose executable is
// registered at registeredPath: that path without the first entry's relative
// name ("C:\Apps\Demo" for "C:\Apps\Demo\bin\App.exe" and "bin\App.exe").
// The name is compared without regard to the case of ASCII letters (the
// application registers the path it was installed at; folding every
// alphabet as EntryNameKey does would cost the stub 3 KB). When the path
// does not end with a separator and that name, the directory part of the
// path, as for an executable at the top of its installation.
std::string InstallationDirectoryFromRegisteredPath(const std::string& registeredPath,
                                                    const std::string& firstEntryName);

// What the installer reads from the registration of an earlier installation
// (the App Paths key the installed application writes) when the main
// executable, the archive's first entry, may lie in a folder of the
// installation ("bin\App.exe").
#pragma once

#include <string>

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

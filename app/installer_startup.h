// The first phase of the installer's run: the command line, loading the
// archive appended to the program's own executable, and the options "-c",
// "-v" and "-f".
#pragma once

#include "app/installer_host.h"

class InstallerArchive;

// The product name, caption of the installer's own failure messages.
inline constexpr char kProductName[] = "ZorInstaller";

// The installer's own version, shown by "-v"; not the archive's.
inline constexpr int kInstallerVersionMajor = 0;
inline constexpr int kInstallerVersionMinor = 5;

// Splits host.RawCommandLine(), points archive at host.ModulePath() with
// InstallationProgress as its progress callback (user word 0), loads it and
// answers the options with message boxes, in the order given.
//
// Returns true when the installation is to proceed: with no option at all
// (force false), or when "-f" was among options that were all recognised
// (force true). Returns false after a load failure (one error box, whatever
// the options) and after the usage box for the first unknown option. force is
// only written, never read.
//
// A read failure of the file layer while loading raises FileException.
bool RunStartup(InstallerHost& host, InstallerArchive& archive, bool& force);

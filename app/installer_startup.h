// The first phase of the installer's run: the command line, loading the
// archive appended to the program's own executable, and the options "-c",
// "-v", "-f", "/S", "/D=" and "/extract".
#pragma once

#include "app/installation_request.h"
#include "app/installer_exit.h"
#include "app/installer_system.h"
#include "app/installer_ui.h"
#include "app/program_arguments.h"

#include <string>

class InstallerArchive;

// The product name, caption of the installer's own failure messages.
inline constexpr char kProductName[] = "ZorInstaller";

// The installer's own version, shown by "-v"; not the archive's.
inline constexpr int kInstallerVersionMajor = 0;
inline constexpr int kInstallerVersionMinor = 5;

// Points archive at system.ModulePath() with InstallationProgress as its
// progress callback (user word 0), loads it and answers the options of
// arguments with message boxes, in the order given.
//
// Returns true when the installation is to proceed: with no option other
// than "-f", "/S", "/D=" and "/extract DIR" (all of them recognised; DIR
// relative to the current directory, and not with "/D="). request receives what
// they ask (it is reset first). Returns false after a load failure (one error
// box whatever the options; exit ArchiveNotLoaded), after the usage box for
// the first unknown option or a "/D=" whose directory cannot be an
// installation directory (BadCommandLine: relative, "..", a device or
// extended-length path, ...; "/" separates like "\"), and after "-c" or
// "-v" without "-f" (Installed). exit is written only when the result is
// false.
//
// A read failure of the file layer while loading is shown as the file
// layer's sentence alone, in one error box.
bool RunStartup(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive, const ProgramArguments& arguments,
                InstallationRequest& request, InstallerExit& exit);

// The second phase of the installer's run: from a loaded archive to the
// installed application. Update or fresh installation, the options dialog,
// the installation directory, running instances, shortcuts, extraction and
// its result, the log after a failed extraction and the start of the
// installed application.
#pragma once

#include "app/install_options.h"
#include "app/installer_host.h"

#include <cstdint>
#include <string>

class InstallerArchive;

// Folder below Program Files proposed for a fresh installation, and folder
// below the Start-menu programs that receives the shortcut.
inline constexpr char kCompanyFolder[] = "ZorSoftware";
// Folder below the current user's application data holding quick-launch links.
inline constexpr char kQuickLaunchFolder[] = "Microsoft\\Internet Explorer\\Quick Launch";

// Runs the whole installation of the loaded archive. force (set by "-f")
// ignores a registered earlier installation. Every question and result is a
// message box of host; every step taken stays in place when a later one fails.
// A read or write failure of the file layer raises FileException.
void RunInstallation(InstallerHost& host, InstallerArchive& archive, bool force);

// Makes the shortcut shortcutName.lnk to target in the special folder csidl
// (below subfolder when it is not empty). An existing link is kept as it is
// and counts as made. A failure is shown in a message box and returned as
// false; a folder the shell cannot resolve fails without writing anything.
bool CreateShortcut(InstallerHost& host, int csidl, const std::string& subfolder, const std::string& shortcutName,
                    const std::string& target);

// The log file path after a failed extraction: "<TEMP>\<base name>.log" with
// the base name of the program's own executable (a missing TEMP gives a
// path that starts with the backslash).
std::string InstallationLogPath(InstallerHost& host);

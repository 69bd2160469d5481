// The second phase of the installer's run: from a loaded archive to the
// installed application. Update or fresh installation, the options dialog,
// the installation directory, running instances, shortcuts, extraction and
// its result, the log after a failed extraction and the start of the
// installed application.
#pragma once

#include "app/installation_request.h"
#include "app/installer_exit.h"
#include "app/installer_system.h"
#include "app/installer_ui.h"
#include "archive/install_options.h"

#include <cstdint>
#include <string>
#include <vector>

class InstallerArchive;

// Runs the whole installation of the loaded archive as request asks and
// returns how it ended. Every question and result is a message box of ui;
// under "/S" no question is asked: an earlier installation is updated where
// it is unless "/D=" names a directory, a fresh one goes to "/D=" or the
// proposed directory with the archive's option states, running instances
// end the run (ApplicationRunning) instead of being waited for, and the
// application is not started.
//
// Before anything is written the run ends when the directory cannot be an
// installation directory, a destination would not fit the path limit, or
// (with an uninstaller) the directory holds the uninstaller of another
// product. Once writing has started, a failure of any step up to the last
// file, a full disk or another failure of the file layer included, takes
// away what the run made (installation_journal.h): a failed fresh
// installation leaves nothing but its log, a failed update the earlier
// installation with its uninstaller. A failure after the files (a shortcut,
// the uninstaller) leaves the installed application in place.
//
// With "/extract DIR" the run only writes the files into DIR, with the same
// checks, progress, verification and undoing of a failure, and the message
// of its end: no registry, shortcuts, uninstaller, running-instance question
// or start of the application.
InstallerExit RunInstallation(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive,
                              const InstallationRequest& request);

enum class ShortcutResult { Created, Replaced, Existed, Failed };

// Makes the shortcut shortcutName.lnk to target in the special folder csidl
// (below subfolder when it is not empty); linkFile (when given) receives its
// path. An existing link is kept as it is (Existed) unless replace is set,
// when it is saved again with the new target (Replaced). A failure is shown
// in a message box; a folder the shell cannot resolve fails without writing
// anything.
ShortcutResult CreateShortcut(InstallerUi& ui, InstallerSystem& system, int csidl, const std::string& subfolder,
                              const std::string& shortcutName, const std::string& target,
                              std::string* linkFile = nullptr, bool replace = false);

// The installation log's path: "<TEMP>\<base name>.log" with the base name
// of the program's own executable (a missing TEMP gives a path that starts
// with the backslash). Written after a failed extraction, and after every
// run under "/S".
std::string InstallationLogPath(InstallerSystem& system);

// Writes the installation log: a heading naming appName, then every line of
// the installation message list, then the extra lines. False when the file
// cannot be created or written (the reason left in the thread's last error).
bool WriteInstallationLog(InstallerSystem& system, const std::string& appName, const std::vector<std::string>& extra);

// The second phase of the installer's run: from a loaded archive to the
// installed application. Update or fresh installation, the options dialog,
// the installation directory, running instances, shortcuts, extraction and
// its result, the log after a failed extraction and the start of the
// installed application.
#pragma once

#include "app/installation_request.h"
#include "app/installer_exit.h"
#include "app/installer_host.h"
#include "archive/install_options.h"

#include <cstdint>
#include <string>
#include <vector>

class InstallerArchive;

// Folder below Program Files proposed for a fresh installation, and folder
// below the Start-menu programs that receives the shortcut, when the
// installer's extension block names no publisher. A block's "install-dir"
// template, when there is one, gives the proposed directory instead; an
// update always goes to the registered directory.
inline constexpr char kCompanyFolder[] = "ZorSoftware";
// Folder below the current user's application data holding quick-launch links.
inline constexpr char kQuickLaunchFolder[] = "Microsoft\\Internet Explorer\\Quick Launch";

// Runs the whole installation of the loaded archive as request asks and
// returns how it ended. Every question and result is a message box of host;
// under "/S" no question is asked: an earlier installation is updated where
// it is unless "/D=" names a directory, a fresh one goes to "/D=" or the
// proposed directory with the archive's option states, running instances
// end the run (ApplicationRunning) instead of being waited for, and the
// application is not started. A destination path that would not fit the
// path limit ends the run before anything is written; a fresh installation
// whose extraction fails removes the shortcuts it made (an update keeps
// them: they point at the earlier installation's files); every other step
// taken stays in place when a later one fails.
// A read or write failure of the file layer raises FileException.
InstallerExit RunInstallation(InstallerHost& host, InstallerArchive& archive, const InstallationRequest& request);

enum class ShortcutResult { Created, Existed, Failed };

// Makes the shortcut shortcutName.lnk to target in the special folder csidl
// (below subfolder when it is not empty); linkFile (when given) receives its
// path. An existing link is kept as it is (Existed). A failure is shown in a
// message box; a folder the shell cannot resolve fails without writing
// anything.
ShortcutResult CreateShortcut(InstallerHost& host, int csidl, const std::string& subfolder,
                              const std::string& shortcutName, const std::string& target,
                              std::string* linkFile = nullptr);

// Waits until no window listed in windowList (";"-separated titles) is
// open, asking the user to close them before action ("updating",
// "removing") appName. False when the user chose Cancel; under silent, as
// soon as one is found (which is reported through host).
bool RunningInstancesClosed(InstallerHost& host, const std::string& windowList, const std::string& appName,
                            const char* action, bool silent, const std::string& title);

// The installation log's path: "<TEMP>\<base name>.log" with the base name
// of the program's own executable (a missing TEMP gives a path that starts
// with the backslash). Written after a failed extraction, and after every
// run under "/S".
std::string InstallationLogPath(InstallerHost& host);

// Writes the installation log: a heading naming appName, then every line of
// the installation message list, then the extra lines. False when the file
// cannot be created (the reason left in the thread's last error).
bool WriteInstallationLog(InstallerHost& host, const std::string& appName, const std::vector<std::string>& extra);

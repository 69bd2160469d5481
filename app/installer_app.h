// The application object: its start-up routine is the whole life of the
// installer process.
#pragma once

#include "app/installer_system.h"
#include "app/installer_ui.h"

class InstallerApp {
public:
    // ui and system must outlive the object.
    InstallerApp(InstallerUi& ui, InstallerSystem& system) : ui_(ui), system_(system) {}
    virtual ~InstallerApp() = default;
    InstallerApp(const InstallerApp&) = delete;
    InstallerApp& operator=(const InstallerApp&) = delete;

    // Loads the archive of the program's own executable, answers the
    // command-line options and runs the installation where it is to proceed.
    // Always returns FALSE (0): the process then ends without a message loop.
    // Under "/S" no window is opened: the boxes' texts go to the installation
    // log, which is written at the end whatever the outcome.
    int InitInstance();

    // The process exit code of the last InitInstance: installer_exit.h for
    // an installer, uninstall_exit.h for an uninstaller.
    int ExitCode() const { return exitCode_; }

private:
    InstallerUi& ui_;
    InstallerSystem& system_;
    int exitCode_ = 0;
};

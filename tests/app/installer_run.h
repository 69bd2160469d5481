// The setting the installer-run tests share: a fresh directory for the
// installer, the special folders and TEMP, and one scripted host that plays
// the user and the system for every run of a test.
#pragma once

#include "app/installation_messages.h"
#include "app/installation_sequence.h"
#include "app/installer_app.h"
#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "tests/app/scripted_host.h"
#include "tests/common/scoped_environment.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

class InstallerRun : public ::testing::Test {
protected:
    InstallerRun() {
        CreateDirectoryTree(temp_);
        InstallationMessages().clear();
        host_.PlaceSpecialFoldersBelow(dir_.path());
    }

    // Starts the program at modulePath with options through the application
    // object, as the stub does, with TEMP at temp_, and returns its exit
    // code. The host starts afresh (ScriptedHost::Restart).
    int Run(const std::string& modulePath, const std::string& options) {
        host_.Restart(modulePath, "\"" + modulePath + "\" " + options);
        const ScopedEnvironment temp("TEMP", temp_);
        InstallerApp app(host_, host_);
        EXPECT_EQ(app.InitInstance(), 0) << "no message loop";
        return app.ExitCode();
    }

    // Loads installer_ as the start-up phase does, then runs the installation
    // sequence as request asks; options (when given) receives the archive's
    // options afterwards.
    InstallerExit RunSequence(const InstallationRequest& request, std::uint32_t* options = nullptr) {
        InstallerArchive archive;
        archive.SetProgressCallback(InstallationProgress, 0);
        archive.SetFilePath(installer_);
        if (!archive.LoadInstaller()) {
            ADD_FAILURE() << "cannot load " << installer_;
            return InstallerExit::ArchiveNotLoaded;
        }
        const InstallerExit exit = RunInstallation(host_, host_, archive, request);
        if (options) *options = archive.GetOptions();
        return exit;
    }

    TempDir dir_;
    const std::string installer_ = dir_ / "zorsetup.exe";
    const std::string temp_ = dir_ / "temp";
    ScriptedHost host_{installer_, "\"" + installer_ + "\""};
};

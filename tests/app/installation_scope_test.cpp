// Per-user installers (extension pair scope=per-user) against machine-wide
// ones, run through the installation sequence with a scripted host: the
// proposed directory, the all-users option, the shortcut folders and the
// registry roots searched for an earlier installation.
#include "common/file_system.h"
#include "common/path.h"
#include "tests/app/installer_files.h"
#include "tests/app/installer_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace scripted_folder;

constexpr std::uint32_t kArchiveDefaults = 0x01FF0002; // every option shown and checked, compressed
constexpr std::uint32_t kAllUsersBits = 0x30000;       // shown and checked
constexpr std::uint32_t kDesktopLink = 0x200000;

const ExtensionPair kPerUser = {"scope", "per-user"};

class InstallationScope : public InstallerRun {
protected:
    // Writes the installer with these extension pairs, then runs it.
    InstallerExit Install(const std::vector<ExtensionPair>& pairs, bool silent) {
        InstallerContent content;
        content.extensions = pairs;
        WriteInstaller(installer_, content);
        InstallationRequest request;
        request.silent = silent;
        return RunSequence(request);
    }

    // The folders of the links made, in the order made.
    std::vector<std::string> LinkFolders() const {
        std::vector<std::string> folders;
        for (const std::string& event : host_.events)
            if (event.rfind("shortcut: ", 0) == 0)
                folders.push_back(GetPathPart(event.substr(10, event.find(" -> ") - 10), kPathDirectory));
        return folders;
    }

    std::string Folder(const char* name) const { return dir_ / name; }
    void RegisterUnder(RegistryScope scope, const std::string& directory) {
        host_.RegisterAppPath(scope, "demo.exe", BuildPath(directory, "demo.exe", nullptr));
    }

    const std::string userDefault_ =
        BuildPath(BuildPath(Folder("local appdata"), "Programs", nullptr), "Zor Demo", nullptr);
    const std::string quickLaunch_ =
        BuildPath(Folder("appdata"), "Microsoft\\Internet Explorer\\Quick Launch", nullptr);
};

TEST_F(InstallationScope, APerUserDialogProposesLocalAppDataWithoutTheAllUsersOption) {
    const struct {
        std::vector<ExtensionPair> pairs;
        std::string proposed;
        std::uint32_t options;
    } cases[] = {
        {{kPerUser}, userDefault_, kArchiveDefaults & ~kAllUsersBits},
        // An explicit template wins over the per-user default.
        {{{"install-dir", "{ProgramFiles}-{AppName}"}, kPerUser},
         Folder("Program Files") + "-Zor Demo",
         kArchiveDefaults & ~kAllUsersBits},
        {{{"install-dir", "{LocalAppData}-{AppName}"}, kPerUser},
         Folder("local appdata") + "-Zor Demo",
         kArchiveDefaults & ~kAllUsersBits},
        // A machine installer keeps the option; the token serves it too.
        {{}, BuildPath(Folder("Program Files"), "ZorSoftware", nullptr), kArchiveDefaults},
        {{{"install-dir", "{LocalAppData}-{AppName}"}}, Folder("local appdata") + "-Zor Demo", kArchiveDefaults},
    };
    for (const auto& c : cases) {
        host_.dialogs.clear();
        EXPECT_EQ(Install(c.pairs, false), InstallerExit::Canceled);
        EXPECT_EQ(host_.dialogs,
                  std::vector<DialogCall>({{"Installation of Zor Demo (1.2.3)", c.proposed, c.options}}));
    }
}

TEST_F(InstallationScope, PerUserShortcutsGoToTheUsersFoldersOnly) {
    // Through the dialog: the user keeps the proposal and asks for the desktop.
    host_.dialogAnswers.push_back({true, userDefault_, 0x2 | kDesktopLink});
    EXPECT_EQ(Install({kPerUser}, false), InstallerExit::Installed);
    EXPECT_EQ(LinkFolders(),
              std::vector<std::string>({BuildPath(Folder("programs"), "ZorSoftware", nullptr), Folder("desktop")}));
    EXPECT_EQ(ReadWholeFile(BuildPath(userDefault_, "readme.txt", nullptr)), "Read me first.\n");
}

TEST_F(InstallationScope, SilentInstallationsFollowTheScope) {
    // The archive checks all users, the desktop and quick launch: a per-user
    // installer makes the current user's links, a machine one the common ones.
    EXPECT_EQ(Install({kPerUser}, true), InstallerExit::Installed);
    EXPECT_EQ(LinkFolders(), std::vector<std::string>({BuildPath(Folder("programs"), "ZorSoftware", nullptr),
                                                       Folder("desktop"), quickLaunch_}));
    EXPECT_EQ(ReadWholeFile(BuildPath(userDefault_, "demo.exe", nullptr)), "MZ demo program");

    // The quick-launch link of the first run is already there and kept.
    host_.events.clear();
    EXPECT_EQ(Install({}, true), InstallerExit::Installed);
    EXPECT_EQ(LinkFolders(), std::vector<std::string>({BuildPath(Folder("common programs"), "ZorSoftware", nullptr),
                                                       Folder("common desktop")}));
}

TEST_F(InstallationScope, APerUserInstallerUpdatesTheUsersRegistrationFirstThenTheMachines) {
    const std::string userPlace = Folder("user place"), machinePlace = Folder("machine place");
    RegisterUnder(RegistryScope::CurrentUser, userPlace);
    RegisterUnder(RegistryScope::Machine, machinePlace);
    EXPECT_EQ(Install({kPerUser}, true), InstallerExit::Installed);
    EXPECT_EQ(host_.shown.back().text, "Zor Demo (1.2.3) succesfully updated.");
    EXPECT_EQ(ReadWholeFile(BuildPath(userPlace, "demo.exe", nullptr)), "MZ demo program");
    EXPECT_FALSE(FileExists(BuildPath(machinePlace, "demo.exe", nullptr)));

    // Without the user's registration, the machine's earlier installation is
    // the one updated.
    const std::string appPaths = AppPathsKeyOf("demo.exe");
    host_.registry.erase({RegistryScope::CurrentUser, appPaths});
    EXPECT_EQ(Install({kPerUser}, true), InstallerExit::Installed);
    EXPECT_EQ(host_.registryReads,
              std::vector<std::string>({"HKCU\\" + appPaths, "HKCU\\" + appPaths, "HKLM\\" + appPaths}));
    EXPECT_EQ(ReadWholeFile(BuildPath(machinePlace, "demo.exe", nullptr)), "MZ demo program");
}

TEST_F(InstallationScope, AMachineInstallerIgnoresTheUsersRegistration) {
    RegisterUnder(RegistryScope::CurrentUser, Folder("user place"));
    EXPECT_EQ(Install({}, true), InstallerExit::Installed);
    EXPECT_EQ(host_.shown.back().text, "Zor Demo (1.2.3) succesfully installed.");
    EXPECT_EQ(ReadWholeFile(BuildPath(BuildPath(Folder("Program Files"), "ZorSoftware", nullptr), "demo.exe", nullptr)),
              "MZ demo program");
    EXPECT_FALSE(FileExists(BuildPath(Folder("user place"), "demo.exe", nullptr)));
}

} // namespace

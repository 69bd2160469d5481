// A per-user installer of the example application (zorpack --per-user, the
// stub that asks for no elevation) installed under Wine, silently and
// through the options dialog: the files go below the user's local
// application data, the links to the user's own folders and never to the
// common ones, and an installation the user registered is updated in place.
#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "common/path.h"
#include "tests/common/temp_dir.h"
#include "tests/e2e/installer_driving.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "win32/shell_link.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace e2e;

class PerUserInstallationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work = new TempDir;
        WriteExampleFiles(*work);
        ChildProcess zorpack;
        ASSERT_TRUE(zorpack.Start(ProgramBesideTests("zorpack"),
                                  {"build", "-o", Installer(), "--name", "Hello", "--version", "1.0", "--shortcut",
                                   ShortcutName(), "--windows", kHelloWindow, "--per-user", *work / "hello.exe",
                                   *work / "readme.txt"}));
        ASSERT_EQ(zorpack.Wait(), 0);
    }
    static void TearDownTestSuite() { delete work; }
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    // No link, registration or installed file of an earlier run is left.
    static void Clean() {
        RemoveShortcutsAndRegistration();
        std::error_code ignored;
        std::filesystem::remove_all(DefaultDirectory(), ignored);
    }

    static std::string Installer() { return *work / "HelloUserSetup.exe"; }
    // {LocalAppData}\Programs\{AppName}
    static std::string DefaultDirectory() {
        return BuildPath(BuildPath(GetSpecialFolderPath(kFolderLocalAppData), "Programs", nullptr), "Hello", nullptr);
    }
    static void ExpectInstalled(const std::string& directory) {
        e2e::ExpectInstalled(Installer(), work->path(), directory, 2);
    }
    static int RunSilently(const std::string& arguments) {
        ChildProcess setup;
        if (!setup.StartWithRawArguments(Installer(), arguments)) return -1;
        return setup.Wait();
    }

    static TempDir* work;
};

TempDir* PerUserInstallationTest::work = nullptr;

TEST_F(PerUserInstallationTest, SilentlyInstallsForTheUserThenUpdatesTheUsersRegistration) {
    InstallerArchive archive;
    archive.SetFilePath(Installer());
    ASSERT_TRUE(archive.LoadInstaller());
    ASSERT_EQ(archive.GetExtension("scope"), "per-user");
    ASSERT_NE(archive.GetOptions() & 0x20000u, 0u) << "the archive's own default checks all users";

    EXPECT_EQ(RunSilently("/S"), 0);
    const std::string executable = BuildPath(DefaultDirectory(), "hello.exe", nullptr);
    ExpectInstalled(DefaultDirectory());
    // All users, desktop and quick launch checked: the user's own links only.
    ExpectLinkTo(Link(kFolderPrograms, "ZorSoftware"), executable);
    ExpectLinkTo(Link(kFolderDesktop), executable);
    ExpectLinkTo(Link(kFolderApplicationData, kQuickLaunch), executable);
    EXPECT_FALSE(FileExists(Link(kFolderCommonPrograms, "ZorSoftware")));
    EXPECT_FALSE(FileExists(Link(kFolderCommonDesktop)));

    // Registered under the user's root only: the next run updates it there.
    const TempDir elsewhere;
    const std::string registered = BuildPath(elsewhere.path(), "hello.exe", nullptr);
    RegisterForCurrentUser(registered);
    EXPECT_EQ(RunSilently("/S"), 0);
    ExpectInstalled(elsewhere.path());
}

TEST_F(PerUserInstallationTest, TheDialogProposesTheUsersFolderWithoutTheAllUsersOption) {
    const TempDir target;
    const std::string directory = target / "Hello User App";
    {
        ChildProcess setup;
        ASSERT_TRUE(setup.Start(Installer(), {}));
        const DrivenWindow dialog = WaitForWindow(kDialogCaption, 30000);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(ControlText(dialog.handle, kDirectoryEdit), DefaultDirectory());
        EXPECT_FALSE(IsControlVisible(dialog.handle, kAllUsersBox));
        EXPECT_FALSE(IsChecked(dialog.handle, kAllUsersBox));
        EXPECT_TRUE(IsControlVisible(dialog.handle, kDesktopBox));
        ChooseInDialog({directory, false, true, false, false, false}, "per-user-options-dialog");
        Answer(kTitle, "Hello (1.0) succesfully installed.", kOk, "per-user-installed");
        EXPECT_EQ(setup.Wait(), 0);
    }
    const std::string executable = BuildPath(directory, "hello.exe", nullptr);
    ExpectInstalled(directory);
    ExpectLinkTo(Link(kFolderPrograms, "ZorSoftware"), executable);
    ExpectLinkTo(Link(kFolderDesktop), executable);
    EXPECT_FALSE(FileExists(Link(kFolderCommonPrograms, "ZorSoftware")));
    EXPECT_FALSE(FileExists(Link(kFolderCommonDesktop)));
}

} // namespace

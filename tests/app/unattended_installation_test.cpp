// Installations under "/S", run from the application object as the stub runs
// them: no message box, dialog or progress window reaches the system, the
// questions take their default answers, the log is always written and the
// exit code tells the class of failure.
#include "app/installation_messages.h"
#include "app/unattended_ui.h"
#include "common/file_system.h"
#include "common/path.h"
#include "tests/app/installer_files.h"
#include "tests/app/installer_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace scripted_folder;

// The log's lines without their CR LF.
std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string text = ReadWholeFile(path);
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class UnattendedRun : public InstallerRun {
protected:
    void SetUp() override { WriteInstaller(installer_, InstallerContent()); }

    // Runs the installer with options after its path.
    int Run(const std::string& options) { return InstallerRun::Run(installer_, options); }

    // Nothing of what opens a window reached the system.
    void ExpectNoWindow() const {
        EXPECT_TRUE(host_.shown.empty());
        EXPECT_TRUE(host_.dialogs.empty());
        EXPECT_TRUE(host_.progressCaptions.empty());
        for (const std::string& event : host_.events) {
            EXPECT_EQ(event.rfind("progress", 0), std::string::npos) << event;
            EXPECT_EQ(event.rfind("open: ", 0), std::string::npos) << event;
        }
    }
    void ExpectInstalledIn(const std::string& directory) const {
        EXPECT_EQ(ReadWholeFile(BuildPath(directory, "demo.exe", nullptr)), "MZ demo program");
        EXPECT_EQ(ReadWholeFile(BuildPath(directory, "readme.txt", nullptr)), "Read me first.\n");
    }
    std::vector<std::string> Log() const { return LogLines(BuildPath(temp_, "zorsetup", "log")); }
    std::string Link(const std::string& folder) const { return BuildPath(folder, "Zor Demo App", "lnk"); }

    const std::string proposed_ = BuildPath(dir_ / "Program Files", "ZorSoftware", nullptr);
    const std::string target_ = BuildPath(dir_ / "my apps", "Zor Demo", nullptr);
};

TEST_F(UnattendedRun, AFreshInstallationTakesTheArchivesOptionsAndStartsNothing) {
    EXPECT_EQ(Run("/S"), 0);
    ExpectNoWindow();
    ExpectInstalledIn(proposed_);
    // The archive checks all users, the desktop, quick launch and the start
    // afterwards, not the session: the links of those, and no start.
    const std::string executable = BuildPath(proposed_, "demo.exe", nullptr);
    const std::string quickLaunch =
        Link(BuildPath(dir_ / "appdata", "Microsoft\\Internet Explorer\\Quick Launch", nullptr));
    const std::string menu = Link(BuildPath(dir_ / "common programs", "ZorSoftware", nullptr));
    EXPECT_EQ(host_.events,
              std::vector<std::string>({"shortcut: " + menu + " -> " + executable,
                                        "shortcut: " + Link(dir_ / "common desktop") + " -> " + executable,
                                        "shortcut: " + quickLaunch + " -> " + executable}));
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "'Zor Demo' log installation execution:");
    EXPECT_TRUE(Contains(log, "Reading Shortcut name...")) << "the loading lines come first";
    EXPECT_EQ(log[log.size() - 2], "Zor Demo (1.2.3) succesfully installed.");
    EXPECT_EQ(log.back(), "Exit code 0 (installed)");
}

TEST_F(UnattendedRun, TheDirectorySwitchChoosesTheDirectory) {
    EXPECT_EQ(Run("/S /D=" + target_), 0);
    ExpectNoWindow();
    ExpectInstalledIn(target_);
    EXPECT_FALSE(std::filesystem::exists(proposed_));
}

TEST_F(UnattendedRun, AnUpdateGoesToTheRegisteredDirectoryUnlessOneIsGiven) {
    const std::string registered = dir_ / "old place";
    host_.RegisterAppPath(RegistryScope::Machine, "demo.exe", BuildPath(registered, "demo.exe", nullptr));

    EXPECT_EQ(Run("/S"), 0);
    ExpectNoWindow();
    ExpectInstalledIn(registered);
    EXPECT_EQ(Log()[Log().size() - 2], "Zor Demo (1.2.3) succesfully updated.");

    // "/D=" makes it a fresh installation there; "-f" one in the proposed directory.
    EXPECT_EQ(Run("/S /D=" + target_), 0);
    ExpectNoWindow();
    ExpectInstalledIn(target_);
    EXPECT_EQ(Log()[Log().size() - 2], "Zor Demo (1.2.3) succesfully installed.");
    EXPECT_EQ(Run("-f /S"), 0);
    ExpectInstalledIn(proposed_);
}

TEST_F(UnattendedRun, ARunningInstanceEndsTheRunBeforeAnythingIsExtracted) {
    host_.windows.desktops = {{{7, "Zor Demo - report", "ZorFrame"}}};
    EXPECT_EQ(Run("/S /D=" + target_), 4);
    ExpectNoWindow();
    EXPECT_EQ(host_.windows.enumerations, 1) << "never waited for";
    EXPECT_FALSE(std::filesystem::exists(BuildPath(target_, "demo.exe", nullptr)));
    EXPECT_TRUE(host_.events.empty()) << "no shortcut either";
    const std::vector<std::string> log = Log();
    EXPECT_TRUE(Contains(log, "- Zor Demo - report"));
    EXPECT_EQ(log.back(), "Exit code 4 (application running)");
}

TEST_F(UnattendedRun, EachFailureHasItsExitCodeAndItsLogLines) {
    // A directory where readme.txt belongs: demo.exe extracts, readme.txt cannot.
    CreateDirectoryTree(BuildPath(target_, "readme.txt", nullptr));
    EXPECT_EQ(Run("/S /D=" + target_), 5);
    ExpectNoWindow();
    std::vector<std::string> log = Log();
    EXPECT_TRUE(Contains(log, "!Error: Unable to extract files (" +
                                  ZorInstallerErrorText(static_cast<int>(ZorInstallerError::CannotExtractFile)) + ")"))
        << ReadWholeFile(BuildPath(temp_, "zorsetup", "log"));
    EXPECT_TRUE(Contains(log, "Removing shortcut '" + Link(dir_ / "common desktop") + "'..."));
    EXPECT_EQ(log.back(), "Exit code 5 (extraction failed)");

    const std::string blocked = BuildPath(installer_, "sub", nullptr); // below a file
    EXPECT_EQ(Run("/S /D=" + blocked), 3);
    EXPECT_EQ(Log().back(), "Exit code 3 (folder not created)");

    host_.failingShortcuts = {Link(dir_ / "common desktop")};
    std::filesystem::remove_all(target_);
    EXPECT_EQ(Run("/S /D=" + target_), 6);
    ExpectNoWindow();
    ExpectInstalledIn(target_);
    EXPECT_EQ(Log().back(), "Exit code 6 (shortcuts failed)");

    EXPECT_EQ(Run("/S -x"), 1);
    ExpectNoWindow();
    log = Log();
    EXPECT_TRUE(Contains(log, "zorsetup [Options] [/D=DIR]")) << "the usage text instead of its box";
    EXPECT_EQ(log.back(), "Exit code 1 (bad command line)");

    EXPECT_EQ(Run("/S /D=relative"), 1);
    EXPECT_FALSE(std::filesystem::exists(proposed_));
}

TEST_F(UnattendedRun, AnArchiveThatDoesNotLoadIsLoggedUnderTheProgramsName) {
    std::filesystem::resize_file(installer_, std::filesystem::file_size(installer_) - 1);
    EXPECT_EQ(Run("/S"), 2);
    ExpectNoWindow();
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front(), "'zorsetup' log installation execution:");
    EXPECT_TRUE(Contains(log, "!Error: Unable to load installation (" +
                                  ZorInstallerErrorText(static_cast<int>(ZorInstallerError::BadSignature)) + ")"))
        << ReadWholeFile(BuildPath(temp_, "zorsetup", "log"));
    EXPECT_EQ(log.back(), "Exit code 2 (archive not loaded)");
}

// Without "/S" the same failures show their boxes and end with the same codes.
TEST_F(UnattendedRun, WithoutTheSwitchTheCodesAreTheSame) {
    EXPECT_EQ(Run("-x"), 1);
    EXPECT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(Run("-c"), 0);
    EXPECT_EQ(Run(""), 7) << "the scripted user cancels the options dialog";
    ASSERT_EQ(host_.dialogs.size(), 1u);
    EXPECT_EQ(host_.dialogs[0].directory, proposed_);
    EXPECT_FALSE(std::filesystem::exists(BuildPath(temp_, "zorsetup", "log"))) << "no log without /S or a failure";
    // "/D=" alone proposes its directory in the dialog.
    EXPECT_EQ(Run("/D=" + target_), 7);
    ASSERT_EQ(host_.dialogs.size(), 1u);
    EXPECT_EQ(host_.dialogs[0].directory, target_);
}

// A main executable in a folder: its links point into the folder, and an
// update finds the installation directory above the registered executable.
TEST_F(UnattendedRun, AMainExecutableInAFolderIsLinkedAndUpdatedThere) {
    InstallerContent content;
    content.files = {{"bin\\demo.exe", "MZ demo program"}, {"readme.txt", "Read me first.\n"}};
    WriteInstaller(installer_, content);
    EXPECT_EQ(Run("/S /D=" + target_), 0);
    const std::string executable = BuildPath(BuildPath(target_, "bin", nullptr), "demo.exe", nullptr);
    EXPECT_EQ(ReadWholeFile(executable), "MZ demo program");
    ASSERT_FALSE(host_.events.empty());
    EXPECT_EQ(host_.events[0],
              "shortcut: " + Link(BuildPath(dir_ / "common programs", "ZorSoftware", nullptr)) + " -> " + executable);

    const std::string registered = dir_ / "old place";
    host_.RegisterAppPath(RegistryScope::Machine, "demo.exe",
                          BuildPath(BuildPath(registered, "bin", nullptr), "demo.exe", nullptr));
    EXPECT_EQ(Run("/S"), 0);
    EXPECT_EQ(host_.registryReads, std::vector<std::string>({"HKLM\\" + AppPathsKeyOf("demo.exe")}));
    EXPECT_EQ(ReadWholeFile(BuildPath(registered, "readme.txt", nullptr)), "Read me first.\n");
}

TEST(UnattendedUi, DeclinesEveryQuestionAndLogsEachLine) {
    UnattendedUi ui;
    InstallationMessages().clear();
    EXPECT_EQ(ui.ShowMessage("a\nb\n", "caption", 0x24), 7); // Yes/No: No
    EXPECT_EQ(ui.ShowMessage("c", "caption", 0x41), 2);      // OK/Cancel: Cancel
    EXPECT_EQ(ui.ShowMessage("", "caption", 0x10), 1);       // OK
    std::string directory = "kept";
    std::uint32_t options = 5;
    EXPECT_FALSE(ui.RunOptionsDialog("caption", directory, options));
    EXPECT_EQ(directory, "kept");
    ui.ShowProgress("caption", "file", 1, 2);
    ui.CloseProgress();
    EXPECT_EQ(InstallationMessages(), std::vector<std::string>({"a", "b", "c", ""}));
}

} // namespace

#include "common/environment.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/last_error.h"
#include "common/path.h"
#include "tests/app/installer_files.h"
#include "tests/app/installer_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace scripted_folder;

constexpr std::uint32_t kCompressed = 0x2, kAllUsers = 0x20000, kStartAfter = 0x80000, kDesktopLink = 0x200000,
                        kQuickLaunch = 0x800000, kSessionStart = 0x2000000;

const std::string kTitle = "Zor Demo installation";

ShownMessage SuccessBox(const char* how) {
    return {std::string("Zor Demo (1.2.3) succesfully ") + how + ".", kTitle, 0};
}

ShownMessage UpdateQuestion(const std::string& previousPath) {
    return {"'Zor Demo' (1.2.3) will be upadated in:\n\n" + previousPath + "\n\nDo you confirm the installation path ?",
            kTitle, 0x24};
}

ShownMessage RunningWindowsBox(const std::string& lines) {
    return {"Following windows have to be closed before updating 'Zor Demo':\n\n" + lines + "\nThanks to proceed...\n",
            kTitle, 0x41};
}

class Installation : public InstallerRun {
protected:
    void SetUp() override { WriteInstaller(installer_, InstallerContent()); }

    // Installs as a run from the command line would; the exit code is kept
    // in exit_, the archive's options afterwards in options_.
    void Install(bool force = false) {
        InstallationRequest request;
        request.force = force;
        exit_ = RunSequence(request, &options_);
    }

    // The user confirms the options dialog with this directory and these
    // installation options; the dialog keeps the archive's compression bit.
    void ChooseInDialog(const std::string& directory, std::uint32_t options) {
        host_.dialogAnswers.push_back({true, directory, options | kCompressed});
    }

    std::string Link(const std::string& folder) const { return BuildPath(folder, "Zor Demo App", "lnk"); }
    std::string ShortcutEvent(const std::string& link, const std::string& directory) const {
        return "shortcut: " + link + " -> " + BuildPath(directory, "demo.exe", nullptr);
    }
    std::vector<std::string> ShortcutEvents() const {
        std::vector<std::string> shortcuts;
        for (const std::string& event : host_.events)
            if (event.rfind("shortcut: ", 0) == 0) shortcuts.push_back(event);
        return shortcuts;
    }
    void ExpectInstalledIn(const std::string& directory) const {
        EXPECT_EQ(ReadWholeFile(BuildPath(directory, "demo.exe", nullptr)), "MZ demo program");
        EXPECT_EQ(ReadWholeFile(BuildPath(directory, "readme.txt", nullptr)), "Read me first.\n");
    }

    const std::string target_ = BuildPath(dir_ / "apps", "Zor Demo", nullptr);
    const std::string proposed_ = BuildPath(dir_ / "Program Files", "ZorSoftware", nullptr);
    const std::string startMenu_ = Link(BuildPath(dir_ / "programs", "ZorSoftware", nullptr));
    std::uint32_t options_ = 0;
    InstallerExit exit_ = static_cast<InstallerExit>(-1);
};

TEST_F(Installation, FreshInstallationAsksForOptionsAndExtracts) {
    ChooseInDialog(target_, 0x2);
    Install();

    EXPECT_EQ(host_.registryReads, std::vector<std::string>({"HKLM\\" + AppPathsKeyOf("demo.exe")}));
    EXPECT_EQ(host_.dialogs, std::vector<DialogCall>({{"Installation of Zor Demo (1.2.3)", proposed_, 0x01FF0002}}));
    // The progress window names each file as it starts and follows the bytes
    // written, and is gone before the result shows.
    EXPECT_EQ(host_.events, std::vector<std::string>(
                                {"dialog", ShortcutEvent(startMenu_, target_), "progress: demo.exe 0/30",
                                 "progress: demo.exe 15/30", "progress: readme.txt 15/30", "progress: readme.txt 30/30",
                                 "progress closed", "message: Zor Demo (1.2.3) succesfully installed."}));
    EXPECT_EQ(host_.progressCaptions, std::vector<std::string>(4, "Installing Zor Demo"));
    EXPECT_EQ(host_.shown, std::vector<ShownMessage>({SuccessBox("installed")}));
    EXPECT_EQ(options_, 0x2u) << "the dialog's options are stored back into the archive";
    ExpectInstalledIn(target_);
    EXPECT_EQ(ReadWholeFile(startMenu_), BuildPath(target_, "demo.exe", nullptr));
}

// The publisher names the Start-menu folder and the proposed directory; a
// template, when given, proposes its expansion instead.
TEST_F(Installation, TheExtensionBlockChoosesThePublisherFolderAndTheProposedDirectory) {
    const struct {
        std::vector<ExtensionPair> pairs;
        std::string proposed;
    } cases[] = {
        // A publisher's products each get a folder of their own below its folder.
        {{{"publisher", "Acme Tools"}},
         BuildPath(BuildPath(dir_ / "Program Files", "Acme Tools", nullptr), "Zor Demo", nullptr)},
        {{{"publisher", "Acme Tools"}, {"install-dir", "{ProgramFiles}/{Publisher}/{AppName} x"}},
         dir_ / "Program Files" + "/Acme Tools/Zor Demo x"},
        {{{"install-dir", "{ProgramFiles}-{Publisher}"}}, dir_ / "Program Files" + "-ZorSoftware"},
    };
    int run = 0;
    for (const auto& c : cases) {
        InstallerContent content;
        content.extensions = c.pairs;
        WriteInstaller(installer_, content);
        // A Start-menu folder of its own for each run: no link is there yet.
        const std::string programs = dir_ / ("programs " + std::to_string(++run));
        host_.specialFolders[kPrograms] = programs;
        host_.dialogs.clear();
        host_.events.clear();
        ChooseInDialog(target_, 0x2);
        Install();
        ASSERT_EQ(host_.dialogs.size(), 1u) << c.proposed;
        EXPECT_EQ(host_.dialogs[0].directory, c.proposed);
        const std::string publisher = c.pairs[0].key == "publisher" ? c.pairs[0].value : "ZorSoftware";
        const std::string link = Link(BuildPath(programs, publisher, nullptr));
        EXPECT_EQ(ShortcutEvents(), std::vector<std::string>({ShortcutEvent(link, target_)})) << c.proposed;
        ExpectInstalledIn(target_);
    }
}

TEST_F(Installation, TheProgressWindowIsRepaintedByTimeNotPerEvent) {
    // Time stands still: only the first update shows.
    host_.millisecondsPerCall = 0;
    ChooseInDialog(target_, 0x2);
    Install();
    EXPECT_EQ(host_.events,
              std::vector<std::string>({"dialog", ShortcutEvent(startMenu_, target_), "progress: demo.exe 0/30",
                                        "progress closed", "message: Zor Demo (1.2.3) succesfully installed."}));

    // 60 ms a reading: every second event is the repaint interval or more
    // after the last one shown.
    host_.events.clear();
    host_.millisecondsPerCall = 60;
    ChooseInDialog(target_, 0x2);
    Install(true);
    EXPECT_EQ(host_.events,
              std::vector<std::string>({"dialog", "progress: demo.exe 0/30", "progress: readme.txt 15/30",
                                        "progress closed", "message: Zor Demo (1.2.3) succesfully installed."}));
}

TEST_F(Installation, ADestinationBeyondThePathLimitIsRefusedBeforeAnythingIsWritten) {
    std::string deep = target_;
    while (BuildPath(deep, "readme.txt", nullptr).size() < kMaxPath) deep = BuildPath(deep, "d", nullptr);
    ChooseInDialog(deep, kDesktopLink);
    Install();
    EXPECT_EQ(host_.shown, std::vector<ShownMessage>(
                               {{"!Error: the path of 'readme.txt' in '" + deep + "' would be longer than " +
                                     std::to_string(kMaxPath - 1) + " characters.\n'Zor Demo' installation canceled.",
                                 kTitle, 0x10}}));
    EXPECT_EQ(ShortcutEvents().size(), 0u);
    EXPECT_FALSE(DirectoryExists(target_)) << "not even the directory";
    EXPECT_EQ(exit_, InstallerExit::DirectoryFailed);
}

TEST_F(Installation, RegisteredInstallationIsUpdatedOrReplaced) {
    const std::string previousDirectory = dir_ / "old place";
    const std::string previousPath = BuildPath(previousDirectory, "demo.exe", nullptr);
    struct Case {
        const char* name;
        bool force;
        std::vector<int> answers;
        bool dialog;
        std::vector<ShownMessage> shown;
        std::string installedIn;
    };
    const Case cases[] = {
        // Yes keeps the registered directory and the archive's own options,
        // which here ask to start the application afterwards.
        {"confirmed",
         false,
         {kButtonYes},
         false,
         {UpdateQuestion(previousPath), SuccessBox("updated")},
         previousDirectory},
        {"declined", false, {kButtonNo}, true, {UpdateQuestion(previousPath), SuccessBox("installed")}, target_},
        {"closed", false, {kButtonCancel}, true, {UpdateQuestion(previousPath), SuccessBox("installed")}, target_},
        {"forced", true, {}, true, {SuccessBox("installed")}, target_},
    };
    const std::map<int, std::string> folders = host_.specialFolders;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host_ = ScriptedHost(installer_, "");
        host_.specialFolders = folders;
        host_.RegisterAppPath(RegistryScope::Machine, "demo.exe", previousPath);
        host_.answers.assign(c.answers.begin(), c.answers.end());
        ChooseInDialog(target_, 0x2);
        std::filesystem::remove_all(previousDirectory);
        std::filesystem::remove_all(target_);

        Install(c.force);

        EXPECT_EQ(host_.shown, c.shown);
        if (c.dialog) {
            EXPECT_EQ(host_.dialogs,
                      std::vector<DialogCall>({{"Installation of Zor Demo (1.2.3)", proposed_, 0x01FF0002}}));
            EXPECT_EQ(options_, 0x2u);
        } else {
            EXPECT_TRUE(host_.dialogs.empty());
            EXPECT_EQ(options_, 0x01FF0002u);
            EXPECT_EQ(host_.events.back(), "open: " + previousPath);
        }
        ExpectInstalledIn(c.installedIn);
        EXPECT_EQ(exit_, InstallerExit::Installed);
    }
}

TEST_F(Installation, CancelledDialogEndsBeforeAnythingIsWritten) {
    host_.dialogAnswers.push_back({false, target_, 0x2});
    Install();
    EXPECT_EQ(host_.events, std::vector<std::string>({"dialog", "message: 'Zor Demo' installation canceled."}));
    EXPECT_EQ(host_.shown, std::vector<ShownMessage>({{"'Zor Demo' installation canceled.", kTitle, 0x10}}));
    EXPECT_FALSE(std::filesystem::exists(target_));
    EXPECT_EQ(exit_, InstallerExit::Canceled);
}

TEST_F(Installation, DirectoryThatCannotBeCreatedEndsTheInstallation) {
    const std::string blocked = BuildPath(installer_, "sub", nullptr); // below a file
    ChooseInDialog(blocked, 0x2);
    Install();
    EXPECT_EQ(
        host_.shown,
        std::vector<ShownMessage>(
            {{"!Error: unable to create folder '" + blocked + "'.\n'Zor Demo' installation canceled.", kTitle, 0x10}}));
    EXPECT_TRUE(ShortcutEvents().empty());
    EXPECT_EQ(exit_, InstallerExit::DirectoryFailed);

    // A folder that cannot be one (typed relative: it would land wherever the
    // installer was started) is refused before anything is written.
    host_.shown.clear();
    ChooseInDialog("relative", 0x2);
    Install();
    ASSERT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(host_.shown[0].text.rfind("!Error: 'relative' cannot be the installation folder: it ", 0), 0u)
        << host_.shown[0].text;
    EXPECT_EQ(exit_, InstallerExit::DirectoryFailed);
}

TEST_F(Installation, EnvironmentReferencesInTheDirectoryAreExpanded) {
    const ScopedEnvironment root("ZOR_SEQUENCE_TEST_ROOT", dir_.path());
    const ScopedEnvironment unset("ZOR_SEQUENCE_TEST_UNSET", nullptr);
    struct Case {
        std::string typed;
        std::string installedIn;
    };
    const Case cases[] = {
        {BuildPath("%ZOR_SEQUENCE_TEST_ROOT%", "expanded", nullptr), dir_ / "expanded"},
        // An unset variable stays in the path as typed.
        {BuildPath(dir_ / "%ZOR_SEQUENCE_TEST_UNSET%", "literal", nullptr),
         BuildPath(dir_ / "%ZOR_SEQUENCE_TEST_UNSET%", "literal", nullptr)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        host_.shown.clear();
        ChooseInDialog(c.typed, 0x2);
        Install();
        EXPECT_EQ(host_.shown, std::vector<ShownMessage>({SuccessBox("installed")}));
        ExpectInstalledIn(c.installedIn);
    }
}

TEST_F(Installation, WaitsUntilRunningInstancesAreClosed) {
    const EnumeratedWindow other{1, "Notes", "Edit"};
    const EnumeratedWindow main{2, "Zor Demo - report", "ZorFrame"};
    const EnumeratedWindow tool{3, "ZorDemo tools", "ZorTool"};
    host_.windows.desktops = {{other, main, tool}, {main}, {other}};
    host_.answers = {kButtonOk, kButtonOk};
    ChooseInDialog(target_, 0x2);
    Install();

    EXPECT_EQ(host_.windows.enumerations, 3);
    EXPECT_EQ(host_.shown,
              std::vector<ShownMessage>({RunningWindowsBox("- Zor Demo - report\n- ZorDemo tools\n"),
                                         RunningWindowsBox("- Zor Demo - report\n"), SuccessBox("installed")}));
    EXPECT_EQ(host_.events[3], ShortcutEvent(startMenu_, target_)) << "shortcuts follow the last prompt";
    ExpectInstalledIn(target_);
}

TEST_F(Installation, CancelAtTheRunningWindowPromptEndsSilently) {
    host_.windows.desktops = {{{7, "Zor Demo", "ZorFrame"}}};
    host_.answers = {kButtonCancel};
    ChooseInDialog(target_, 0x2);
    Install();
    EXPECT_EQ(host_.shown, std::vector<ShownMessage>({RunningWindowsBox("- Zor Demo\n")}));
    EXPECT_EQ(host_.windows.enumerations, 1);
    EXPECT_TRUE(ShortcutEvents().empty());
    EXPECT_FALSE(std::filesystem::exists(target_)) << "the folder made for it is gone";
    EXPECT_EQ(exit_, InstallerExit::Canceled);
}

TEST_F(Installation, ShortcutsFollowTheOptions) {
    const std::string quickLaunch =
        Link(BuildPath(dir_ / "appdata", "Microsoft\\Internet Explorer\\Quick Launch", nullptr));
    const std::string commonMenu = Link(BuildPath(dir_ / "common programs", "ZorSoftware", nullptr));
    struct Case {
        std::uint32_t options;
        std::vector<std::string> links;
    };
    const Case cases[] = {
        {0x2, {startMenu_}},
        {kSessionStart, {startMenu_, Link(dir_ / "startup")}},
        {kDesktopLink, {startMenu_, Link(dir_ / "desktop")}},
        {kQuickLaunch, {startMenu_, quickLaunch}},
        {kAllUsers, {commonMenu}},
        {kAllUsers | kSessionStart | kDesktopLink | kQuickLaunch,
         {commonMenu, Link(dir_ / "common startup"), Link(dir_ / "common desktop"), quickLaunch}},
        // Bits that are not shortcut options make none.
        {0x01FF0002 & ~(kAllUsers | kDesktopLink | kQuickLaunch | kStartAfter), {startMenu_}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "options 0x" << std::hex << c.options);
        host_.events.clear();
        host_.shown.clear();
        std::filesystem::remove_all(target_);
        for (const auto& [csidl, folder] : host_.specialFolders) std::filesystem::remove_all(folder);
        ChooseInDialog(target_, c.options);
        Install();
        std::vector<std::string> expected;
        for (const std::string& link : c.links) expected.push_back(ShortcutEvent(link, target_));
        EXPECT_EQ(ShortcutEvents(), expected);
        EXPECT_EQ(host_.shown, std::vector<ShownMessage>({SuccessBox("installed")}));
    }
}

TEST_F(Installation, ExistingLinksAreKeptOnASecondRun) {
    ChooseInDialog(target_, kDesktopLink);
    Install();
    ASSERT_EQ(ShortcutEvents().size(), 2u);
    std::ofstream(startMenu_, std::ios::binary) << "older link";

    host_.events.clear();
    ChooseInDialog(target_, kDesktopLink);
    Install();
    EXPECT_TRUE(ShortcutEvents().empty());
    EXPECT_EQ(ReadWholeFile(startMenu_), "older link");
}

TEST_F(Installation, AFailedShortcutIsReportedAndTheInstallationGoesOn) {
    host_.failingShortcuts = {startMenu_};
    host_.specialFolders.erase(kDesktop); // the shell cannot resolve it
    ChooseInDialog(target_, kDesktopLink | kQuickLaunch);
    Install();

    const std::string accessDenied = SystemErrorText(kErrorAccessDenied);
    const std::string pathNotFound = SystemErrorText(kErrorPathNotFound);
    EXPECT_EQ(host_.shown,
              std::vector<ShownMessage>(
                  {{"Unable to create shortcut '" + startMenu_ + "' (" + accessDenied + ")", "ZorInstaller", 0x10},
                   {"Unable to create shortcut 'Zor Demo App.lnk' (" + pathNotFound + ")", "ZorInstaller", 0x10},
                   SuccessBox("installed")}));
    ASSERT_EQ(ShortcutEvents().size(), 2u) << "nothing is saved for the unresolved desktop";
    EXPECT_FALSE(std::filesystem::exists("Zor Demo App.lnk"));
    ExpectInstalledIn(target_);
    EXPECT_EQ(exit_, InstallerExit::ShortcutsFailed) << "every file is installed, a link is missing";
}

TEST_F(Installation, StartsTheApplicationWhenAsked) {
    const std::string executable = BuildPath(target_, "demo.exe", nullptr);
    for (const std::uint32_t shellError : {0u, 2u}) {
        SCOPED_TRACE(shellError);
        host_.shown.clear();
        host_.events.clear();
        host_.shellError = shellError;
        ChooseInDialog(target_, kStartAfter);
        Install();
        std::vector<ShownMessage> expected = {SuccessBox("installed")};
        if (shellError != 0)
            expected.push_back(
                {"!Error: Unable to execute 'Zor Demo' - " + executable + " (" + SystemErrorText(shellError) + ")",
                 kTitle, 0x10});
        EXPECT_EQ(host_.shown, expected);
        EXPECT_EQ(exit_, InstallerExit::Installed) << "installed even when it cannot be started";
        // The application is started after the success message, before any
        // failure of the start is shown.
        std::vector<std::string> tail = {"message: " + expected[0].text, "open: " + executable};
        if (shellError != 0) tail.push_back("message: " + expected[1].text);
        ASSERT_GE(host_.events.size(), tail.size());
        EXPECT_EQ(
            std::vector<std::string>(host_.events.end() - static_cast<std::ptrdiff_t>(tail.size()), host_.events.end()),
            tail);
    }
}

// "/extract DIR" writes the files and nothing else: no dialog, registry,
// shortcut, uninstaller or start of the application, whatever the archive
// asks for.
TEST_F(Installation, ExtractOnlyWritesTheFilesAndNothingElse) {
    InstallerContent content;
    content.extensions = {{"uninstall-key", "Zor Demo"}};
    WriteInstaller(installer_, content);
    InstallationRequest request;
    request.extractOnly = true;
    request.extractDirectory = BuildPath(dir_ / "portable", "Zor Demo", nullptr);
    exit_ = RunSequence(request);
    EXPECT_EQ(exit_, InstallerExit::Installed);
    ExpectInstalledIn(request.extractDirectory);
    EXPECT_EQ(NamesIn(request.extractDirectory), (std::vector<std::string>{"demo.exe", "readme.txt"}));
    EXPECT_EQ(host_.events,
              std::vector<std::string>(
                  {"progress: demo.exe 0/30", "progress: demo.exe 15/30", "progress: readme.txt 15/30",
                   "progress: readme.txt 30/30", "progress closed",
                   "message: Zor Demo (1.2.3) successfully extracted to '" + request.extractDirectory + "'."}));
    EXPECT_TRUE(host_.registryReads.empty());
    EXPECT_TRUE(host_.registry.empty());
}

class FailedExtraction : public Installation {
protected:
    void SetUp() override {
        Installation::SetUp();
        // A directory where readme.txt belongs: demo.exe extracts, then
        // readme.txt cannot be written.
        std::filesystem::create_directories(BuildPath(target_, "readme.txt", nullptr));
        ChooseInDialog(target_, kDesktopLink);
    }

    ShownMessage Question() const {
        return {"!Error: Unable to extract files (" +
                    ZorInstallerErrorText(static_cast<int>(ZorInstallerError::CannotExtractFile)) +
                    ")\nDo you want to display installation log informations ?",
                "ZorInstaller", 0x14};
    }
};

TEST_F(FailedExtraction, WritesTheLogAndOpensItOnYes) {
    const std::string temp = dir_ / "temp";
    std::filesystem::create_directories(temp);
    const ScopedEnvironment setting("TEMP", temp);
    const std::string log = BuildPath(temp, "zorsetup", "log");
    for (const int answer : {kButtonYes, kButtonNo}) {
        SCOPED_TRACE(answer);
        host_.shown.clear();
        host_.events.clear();
        host_.answers = {answer};
        InstallationMessages().clear();
        ChooseInDialog(target_, kDesktopLink);
        Install();

        EXPECT_EQ(host_.shown, std::vector<ShownMessage>({Question()}));
        EXPECT_EQ(host_.events.back(), answer == kButtonYes ? "open: " + log : "message: " + Question().text);
        const auto closed = std::find(host_.events.begin(), host_.events.end(), "progress closed");
        const auto asked = std::find(host_.events.begin(), host_.events.end(), "message: " + Question().text);
        EXPECT_TRUE(closed < asked) << "the progress window closes before the failure is shown";
        // Every line of the list, from loading to the failure, in order, and
        // then the removal of what this fresh installation made.
        const std::vector<std::string>& lines = InstallationMessages();
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[lines.size() - 4].rfind("!Error", 0), 0u) << lines[lines.size() - 4];
        EXPECT_EQ(lines[lines.size() - 3], "Removing shortcut '" + startMenu_ + "'...");
        EXPECT_EQ(lines[lines.size() - 2], "Removing shortcut '" + Link(dir_ / "desktop") + "'...");
        EXPECT_EQ(lines.back(), "Removing file '" + BuildPath(target_, "demo.exe", nullptr) + "'...");
        std::string expected = "'Zor Demo' log installation execution:\r\n";
        for (const std::string& line : lines) expected += line + "\r\n";
        EXPECT_EQ(ReadWholeFile(log), expected);
        // Nothing is left of the installation but its log; what was there
        // before stays.
        EXPECT_FALSE(FileExists(BuildPath(target_, "demo.exe", nullptr)));
        EXPECT_TRUE(DirectoryExists(BuildPath(target_, "readme.txt", nullptr)));
        EXPECT_EQ(ShortcutEvents().size(), 2u) << "each run makes its links";
        EXPECT_FALSE(FileExists(startMenu_));
        EXPECT_FALSE(FileExists(Link(dir_ / "desktop")));
        EXPECT_EQ(exit_, InstallerExit::ExtractionFailed);
    }
}

// A full disk (a failure of the file layer) in a dialog run: the same
// clean-up as any failed extraction, and the log is offered.
TEST_F(Installation, AFullDiskIsAFailedExtractionWithItsLog) {
    const std::string temp = dir_ / "temp";
    std::filesystem::create_directories(temp);
    const ScopedEnvironment setting("TEMP", temp);
    host_.answers = {kButtonNo};
    ChooseInDialog(target_, kDesktopLink);
    InjectFileFault(FileOperation::Write, 1, 112);
    Install();
    ClearFileFaults();
    EXPECT_EQ(exit_, InstallerExit::ExtractionFailed);
    ASSERT_EQ(host_.shown.size(), 1u);
    const std::string& question = host_.shown[0].text;
    EXPECT_EQ(question.rfind("!Error: Unable to extract files (", 0), 0u) << question;
    EXPECT_NE(question.find(SystemErrorText(112)), std::string::npos) << question;
    EXPECT_NE(ReadWholeFile(BuildPath(temp, "zorsetup", "log")).find("Removing shortcut '" + startMenu_ + "'..."),
              std::string::npos);
    EXPECT_FALSE(DirectoryExists(target_));
    EXPECT_FALSE(FileExists(startMenu_));
}

TEST_F(FailedExtraction, ALogThatCannotBeCreatedIsReportedBeforeTheQuestion) {
    const std::string temp = dir_ / "no such directory";
    const ScopedEnvironment setting("TEMP", temp);
    const std::string log = BuildPath(temp, "zorsetup", "log");
    CFile probe;
    ASSERT_FALSE(probe.Create(log));
    const std::string reason = LastErrorText();

    host_.answers = {kButtonOk, kButtonYes};
    Install();
    EXPECT_EQ(host_.shown, std::vector<ShownMessage>(
                               {{"Unable to create file '" + log + "' (" + reason + ")", "ok", 0}, Question()}));
    EXPECT_EQ(host_.events.back(), "open: " + log) << "Yes opens the log path even so";
}

TEST(InstallationLogPath, IsTempAndTheProgramsBaseName) {
    ScriptedHost host(BuildPath("installers", "setup.1.exe", nullptr), "");
    {
        const ScopedEnvironment setting("TEMP", std::string("tmpdir"));
        EXPECT_EQ(InstallationLogPath(host), BuildPath("tmpdir", "setup.1", "log"));
    }
    const ScopedEnvironment setting("TEMP", nullptr);
    EXPECT_EQ(InstallationLogPath(host), std::string(1, PathSeparator()) + "setup.1.log");
}

TEST_F(Installation, RunsFromTheApplicationObjectWithoutOptions) {
    ChooseInDialog(target_, 0x2);
    EXPECT_EQ(Run(installer_, ""), 0);
    EXPECT_EQ(host_.shown, std::vector<ShownMessage>({SuccessBox("installed")}));
    ExpectInstalledIn(target_);
}

} // namespace

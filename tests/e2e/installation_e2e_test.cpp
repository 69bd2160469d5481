// Whole installations under Wine, driven from this process as a user would:
// an installer of the example application built by zorpack.exe, its options
// dialog filled in, its questions answered, then the installed files, their
// times and digests, the shortcuts and the installation log checked.
#include "archive/installer_archive.h"
#include "common/environment.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/windows_api.h"
#include "tests/common/temp_dir.h"
#include "tests/e2e/installer_driving.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "win32/shell_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

using namespace e2e;

// The files of the example application, in installation order.
const char* const kFiles[] = {"hello.exe", "readme.txt", "license.txt", "data.bin"};
constexpr char kProgressCaption[] = "Installing Hello";

class InstallationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work = new TempDir;
        WriteExampleFiles(*work);
        const std::string examples = BuildPath(BuildPath(BuildDirectory(), "examples", nullptr), "hello", nullptr);
        work->WriteFile("license.txt", ReadWholeFile(BuildPath(examples, "license.txt", nullptr)));
        // Enough data for the progress window to be seen.
        std::string data(16 << 20, '\0');
        std::mt19937 random(7);
        for (char& byte : data) byte = static_cast<char>(random() % 64);
        work->WriteFile("data.bin", data);
        std::vector<std::string> arguments = {
            "build", "-o",         *work / "HelloSetup.exe", "--name",    "Hello",     "--version",
            "1.0",   "--shortcut", ShortcutName(),           "--windows", kHelloWindow};
        for (const char* file : kFiles) arguments.push_back(*work / file);
        ChildProcess zorpack;
        ASSERT_TRUE(zorpack.Start(ProgramBesideTests("zorpack"), arguments));
        ASSERT_EQ(zorpack.Wait(), 0);
    }
    static void TearDownTestSuite() {
        RemoveShortcutsAndRegistration();
        delete work;
    }
    void SetUp() override { RemoveShortcutsAndRegistration(); }

    // Every file is there with its source's bytes, last-write time and the
    // digest the installer carries.
    static void ExpectInstalled(const std::string& directory) {
        e2e::ExpectInstalled(*work / "HelloSetup.exe", work->path(), directory, std::size(kFiles));
    }

    // The example's installer with the middle of the last file's data changed.
    static std::string WithLastDataDamaged() {
        InstallerArchive archive;
        archive.SetFilePath(*work / "HelloSetup.exe");
        EXPECT_TRUE(archive.LoadInstaller());
        const ArchiveEntry& last = archive.GetEntries().back();
        std::string bytes = ReadWholeFile(*work / "HelloSetup.exe");
        bytes[last.dataOffset + last.storedSize / 2] ^= 0x55;
        return bytes;
    }

    // Runs the installer with rawArguments as they stand and waits for its
    // end (at most two minutes), looking every few milliseconds for
    // top-level windows of its process, which windowsSeen receives (class and
    // title); each is sent WM_CLOSE, so that a box cannot hold the run up.
    // Returns the exit code, -1 when it did not end in time.
    static int RunWithoutWindows(const std::string& setupPath, const std::string& rawArguments,
                                 std::vector<std::string>& windowsSeen) {
        ChildProcess setup;
        if (!setup.StartWithRawArguments(setupPath, rawArguments)) return -1;
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, setup.Id());
        if (process == nullptr) return -1;
        struct Search {
            DWORD id;
            std::vector<std::string>* seen;
        } search{setup.Id(), &windowsSeen};
        bool ended = false;
        for (int waited = 0; waited < 120000 && !ended; waited += 5) {
            ::EnumWindows(
                [](HWND window, LPARAM data) -> BOOL {
                    auto* found = reinterpret_cast<Search*>(data);
                    DWORD owner = 0;
                    ::GetWindowThreadProcessId(window, &owner);
                    if (owner != found->id) return TRUE;
                    char className[256] = {}, title[256] = {};
                    ::GetClassNameA(window, className, sizeof className);
                    ::GetWindowTextA(window, title, sizeof title);
                    const std::string seen = std::string(className) + " '" + title + "'";
                    if (std::find(found->seen->begin(), found->seen->end(), seen) == found->seen->end())
                        found->seen->push_back(seen);
                    ::PostMessageA(window, WM_CLOSE, 0, 0);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            ended = ::WaitForSingleObject(process, 5) == WAIT_OBJECT_0;
        }
        ::CloseHandle(process);
        if (!ended) {
            ADD_FAILURE() << "the silent installer did not end";
            return -1;
        }
        return setup.Wait();
    }

    // The log a silent run of setupName writes to TEMP.
    static std::string SilentLogPath(const std::string& setupName) {
        return GetEnvironmentValue("TEMP") + "\\" + setupName + ".log";
    }

    static TempDir* work;
};

TempDir* InstallationTest::work = nullptr;

TEST_F(InstallationTest, InstallsThenUpdatesTheRegisteredInstallation) {
    const TempDir target;
    const std::string directory = target / "Hello App";
    const std::string executable = BuildPath(directory, "hello.exe", nullptr);
    {
        ChildProcess setup;
        ASSERT_TRUE(setup.Start(*work / "HelloSetup.exe", {}));
        const DrivenWindow dialog = WaitForWindow(kDialogCaption, 30000);
        ASSERT_TRUE(dialog);
        // The proposal: Program Files with the company folder, every option
        // shown, all checked but the start with the session.
        EXPECT_EQ(ControlText(dialog.handle, kDirectoryEdit),
                  BuildPath(GetSpecialFolderPath(38), "ZorSoftware", nullptr));
        for (int id : {kAllUsersBox, kDesktopBox, kQuickLaunchBox, kSessionBox, kStartAfterBox})
            EXPECT_TRUE(IsControlVisible(dialog.handle, id)) << id;
        EXPECT_TRUE(IsChecked(dialog.handle, kAllUsersBox));
        EXPECT_FALSE(IsChecked(dialog.handle, kSessionBox));
        EXPECT_EQ(ControlText(dialog.handle, 1007), "ZorInstaller ver 0.5");
        ChooseInDialog({directory, false, true, false, true, true}, "options-dialog");

        // The progress window is up while the files are extracted; whether
        // this process sees it in time depends on the machine.
        const DrivenWindow progress = WaitForWindow(kProgressCaption, 3000);
        if (progress) {
            ::Sleep(300); // Wine shows a busy thread's window once it has been flushed
            if (::IsWindow(static_cast<HWND>(progress.handle))) Screenshot(progress, "progress");
        }

        Answer(kTitle, "Hello (1.0) succesfully installed.", kOk, "installed");
        if (progress) {
            EXPECT_FALSE(::IsWindow(static_cast<HWND>(progress.handle))) << "closed before the result";
        }
        CloseHello(); // started after the installation
        EXPECT_EQ(setup.Wait(), 0);
    }
    ExpectInstalled(directory);
    // Current user's folders: the Start menu always, the desktop and the
    // start-up folder as chosen, no quick launch.
    ExpectLinkTo(Link(kFolderPrograms, "ZorSoftware"), executable);
    ExpectLinkTo(Link(kFolderDesktop), executable);
    ExpectLinkTo(Link(kFolderStartup), executable);
    EXPECT_FALSE(FileExists(Link(kFolderApplicationData, "Microsoft\\Internet Explorer\\Quick Launch")));
    EXPECT_FALSE(FileExists(Link(kFolderCommonPrograms, "ZorSoftware")));

    // The application registered itself: the next installer offers the update.
    Register(executable);
    ChildProcess update;
    ASSERT_TRUE(update.Start(*work / "HelloSetup.exe", {}));
    Answer(kTitle, "'Hello' (1.0) will be upadated in:\n\n" + executable + "\n\nDo you confirm the installation path ?",
           kYes, "update-question");
    // No dialog: the archive's own options (all users, start after) apply.
    Answer(kTitle, "Hello (1.0) succesfully updated.", kOk, "updated");
    CloseHello();
    EXPECT_EQ(update.Wait(), 0);
    ExpectInstalled(directory);
    ExpectLinkTo(Link(kFolderCommonPrograms, "ZorSoftware"), executable);
    ExpectLinkTo(Link(kFolderCommonDesktop), executable);
}

TEST_F(InstallationTest, ForceWaitsForTheRunningInstanceToClose) {
    const TempDir target;
    Register(BuildPath(target.path(), "hello.exe", nullptr)); // ignored with -f
    ChildProcess hello;
    ASSERT_TRUE(hello.Start(ProgramBesideTests("hello"), {}));
    ASSERT_TRUE(WaitForWindow(kHelloWindow, 30000));

    ChildProcess setup;
    ASSERT_TRUE(setup.Start(*work / "HelloSetup.exe", {"-f"}));
    ChooseInDialog({target.path(), false, false, false, false, false});
    const DrivenWindow prompt = WaitForWindow(kTitle, 30000);
    ASSERT_TRUE(prompt);
    EXPECT_EQ(MessageText(prompt), "Following windows have to be closed before updating 'Hello':\n\n- " +
                                       std::string(kHelloWindow) + "\n\nThanks to proceed...\n");
    Screenshot(prompt, "running-windows");
    CloseHello();
    EXPECT_EQ(hello.Wait(), 0);
    ASSERT_TRUE(PressButton(prompt, kOk));
    Answer(kTitle, "Hello (1.0) succesfully installed.", kOk, nullptr, prompt.handle);
    EXPECT_EQ(setup.Wait(), 0);
    ExpectInstalled(target.path());
    ExpectLinkTo(Link(kFolderPrograms, "ZorSoftware"), BuildPath(target.path(), "hello.exe", nullptr));
    EXPECT_FALSE(FileExists(Link(kFolderDesktop)));
}

TEST_F(InstallationTest, ADamagedDataBlockOffersTheLog) {
    // The earlier files extract, the last fails.
    const std::string damaged = work->WriteFile("Damaged.exe", WithLastDataDamaged());
    const std::string log = GetEnvironmentValue("TEMP") + "\\Damaged.log";
    ::DeleteFileA(log.c_str());

    const TempDir target;
    ChildProcess setup;
    ASSERT_TRUE(setup.Start(damaged, {"-f"}));
    ChooseInDialog({target.path(), false, false, false, false, false});
    const DrivenWindow question = WaitForWindow("ZorInstaller", 30000);
    ASSERT_TRUE(question);
    const std::string text = MessageText(question);
    EXPECT_EQ(text.rfind("!Error: Unable to extract files (ErrorZorInstaller: ", 0), 0u) << text;
    EXPECT_NE(text.find(")\nDo you want to display installation log informations ?"), std::string::npos) << text;
    Screenshot(question, "extraction-failure");
    ASSERT_TRUE(PressButton(question, kYes));
    EXPECT_EQ(setup.Wait(), 5) << "extraction failed";

    const std::string written = ReadWholeFile(log);
    EXPECT_EQ(written.rfind("'Hello' log installation execution:\r\n", 0), 0u) << written;
    for (const char* file : kFiles)
        EXPECT_NE(written.find("Extracting file '" + BuildPath(target.path(), file, nullptr)), std::string::npos)
            << file;
    EXPECT_NE(written.find("Loading Installer file '"), std::string::npos) << "the start-up lines come first";
    // Why the damaged file failed, then the failure of the whole extraction.
    // (Which one depends on what the flipped bits decode to.)
    EXPECT_TRUE(written.find("Error while uncompressing file '") != std::string::npos ||
                written.find("Error while recovering original size for '") != std::string::npos ||
                written.find("Bad MD5 sum for '") != std::string::npos)
        << written;
    // This fresh installation failed: the one link it made and the files it
    // extracted are removed, so nothing is left but the log.
    const std::string removal = "Removing shortcut '" + Link(kFolderPrograms, "ZorSoftware") + "'...\r\n";
    const std::size_t removed = written.find(removal);
    ASSERT_NE(removed, std::string::npos) << written;
    const std::size_t lastLine = written.rfind("\r\n", removed - 3);
    EXPECT_EQ(written.compare(lastLine + 2, 22, "!Error LoadInstaller: "), 0) << written.substr(lastLine + 2);
    EXPECT_NE(written.find("Removing file '" + BuildPath(target.path(), "readme.txt", nullptr) + "'...\r\n", removed),
              std::string::npos)
        << written;
    EXPECT_FALSE(FileExists(Link(kFolderPrograms, "ZorSoftware")));
    ::DeleteFileA(log.c_str());
    EXPECT_EQ(CountDirectoryEntries(target.path()), 0) << "the folder was there before: it stays, empty";
}

} // namespace

namespace {

// Silent installations as IT deployment scripts run them: "/S", "/D=" with
// spaces and no quotes, the exit code, the log in TEMP, and never a window.
TEST_F(InstallationTest, SilentlyInstallsThenUpdatesWithoutAWindow) {
    const TempDir target;
    const std::string directory = target / "Hello Silent App";
    const std::string executable = BuildPath(directory, "hello.exe", nullptr);
    const std::string log = SilentLogPath("HelloSetup");
    ::DeleteFileA(log.c_str());
    std::vector<std::string> windows;
    EXPECT_EQ(RunWithoutWindows(*work / "HelloSetup.exe", "/S /D=" + directory, windows), 0);
    EXPECT_TRUE(windows.empty()) << windows.front();
    ExpectInstalled(directory);
    // The archive's option states: all users, desktop and quick launch; the
    // application is not started.
    ExpectLinkTo(Link(kFolderCommonPrograms, "ZorSoftware"), executable);
    ExpectLinkTo(Link(kFolderCommonDesktop), executable);
    ExpectLinkTo(Link(kFolderApplicationData, kQuickLaunch), executable);
    EXPECT_FALSE(FileExists(Link(kFolderCommonStartup)));
    EXPECT_FALSE(WaitForWindow(kHelloWindow, 500)) << "started although silent";
    std::string written = ReadWholeFile(log);
    EXPECT_EQ(written.rfind("'Hello' log installation execution:\r\n", 0), 0u) << written;
    EXPECT_NE(written.find("Hello (1.0) succesfully installed.\r\nExit code 0 (installed)\r\n"), std::string::npos)
        << written;

    // The application registered itself: the next silent run updates it
    // there, without a question.
    Register(executable);
    ::DeleteFileA(log.c_str());
    windows.clear();
    EXPECT_EQ(RunWithoutWindows(*work / "HelloSetup.exe", "/S", windows), 0);
    EXPECT_TRUE(windows.empty()) << windows.front();
    ExpectInstalled(directory);
    written = ReadWholeFile(log);
    EXPECT_NE(written.find("Hello (1.0) succesfully updated.\r\nExit code 0 (installed)\r\n"), std::string::npos)
        << written;

    // "/D=" takes it elsewhere even so.
    const std::string elsewhere = target / "An Other Place";
    windows.clear();
    EXPECT_EQ(RunWithoutWindows(*work / "HelloSetup.exe", "/S /D=" + elsewhere, windows), 0);
    ExpectInstalled(elsewhere);
}

// "/extract DIR" writes the files, with their times, and nothing else: no
// link in any shell folder, and the application is not started.
TEST_F(InstallationTest, ExtractsTheFilesWithoutInstalling) {
    const TempDir target;
    const std::string directory = target / "Hello Files";
    std::vector<std::string> windows;
    EXPECT_EQ(RunWithoutWindows(*work / "HelloSetup.exe", "/S /extract \"" + directory + "\"", windows), 0);
    EXPECT_TRUE(windows.empty()) << windows.front();
    ExpectInstalled(directory);
    for (const std::string& link : AllLinks()) EXPECT_FALSE(FileExists(link)) << link;
    EXPECT_FALSE(WaitForWindow(kHelloWindow, 500)) << "started although only extracted";
}

TEST_F(InstallationTest, SilentlyRefusesToUpdateARunningApplication) {
    const TempDir target;
    ChildProcess hello;
    ASSERT_TRUE(hello.Start(ProgramBesideTests("hello"), {}));
    ASSERT_TRUE(WaitForWindow(kHelloWindow, 30000));
    std::vector<std::string> windows;
    EXPECT_EQ(RunWithoutWindows(*work / "HelloSetup.exe", "/S /D=" + target.path(), windows), 4);
    EXPECT_TRUE(windows.empty()) << windows.front();
    EXPECT_FALSE(FileExists(BuildPath(target.path(), "hello.exe", nullptr))) << "nothing extracted";
    const std::string written = ReadWholeFile(SilentLogPath("HelloSetup"));
    EXPECT_NE(written.find("- " + std::string(kHelloWindow) + "\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("Exit code 4 (application running)"), std::string::npos) << written;
    CloseHello();
    EXPECT_EQ(hello.Wait(), 0);
}

TEST_F(InstallationTest, SilentFailuresEndWithTheirCodeAndTheLog) {
    // The last file's data damaged: the extraction fails.
    std::string bytes = WithLastDataDamaged();
    const std::string damaged = work->WriteFile("SilentDamaged.exe", bytes);
    const TempDir target;
    std::vector<std::string> windows;
    EXPECT_EQ(RunWithoutWindows(damaged, "/S /D=" + target.path(), windows), 5);
    EXPECT_TRUE(windows.empty()) << windows.front();
    std::string written = ReadWholeFile(SilentLogPath("SilentDamaged"));
    EXPECT_NE(written.find("!Error: Unable to extract files (ErrorZorInstaller: "), std::string::npos) << written;
    EXPECT_NE(written.find("Exit code 5 (extraction failed)"), std::string::npos) << written;

    // A tailer damaged: nothing loads.
    bytes[bytes.size() - 64] = 'X';
    const std::string broken = work->WriteFile("SilentBroken.exe", bytes);
    EXPECT_EQ(RunWithoutWindows(broken, "/S", windows), 2);
    written = ReadWholeFile(SilentLogPath("SilentBroken"));
    EXPECT_NE(written.find("!Error: Unable to load installation (ErrorZorInstaller: Bad signature)"), std::string::npos)
        << written;
    EXPECT_NE(written.find("Exit code 2 (archive not loaded)"), std::string::npos) << written;

    // The watch sees what it looks for: the same run without "/S" shows its box.
    windows.clear();
    EXPECT_EQ(RunWithoutWindows(broken, "-v", windows), 2);
    EXPECT_FALSE(windows.empty()) << "the load failure's box was not seen";

    // A relative directory is a bad command line.
    windows.clear();
    EXPECT_EQ(RunWithoutWindows(*work / "HelloSetup.exe", "/S /D=relative\\dir", windows), 1);
    EXPECT_TRUE(windows.empty()) << windows.front();
}

} // namespace

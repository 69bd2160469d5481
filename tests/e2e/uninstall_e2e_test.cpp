// The uninstaller under Wine: an installer built with --uninstaller leaves
// uninstall.exe and its entry among the installed applications; the
// uninstaller, run silently, removes exactly what the installation made,
// keeps what a user added, refuses while the application runs, and in the
// end its own file goes too.
#include "common/file_system.h"
#include "common/path.h"
#include "common/windows_api.h"
#include "tests/common/temp_dir.h"
#include "tests/e2e/installer_driving.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace e2e;

const char* const kFiles[] = {"hello.exe", "readme.txt"};

constexpr char kEntryName[] = "Acme Hello";

std::map<std::string, std::string> EntryValues() { return UninstallEntry(kEntryName); }

class UninstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work = new TempDir;
        const std::string examples = BuildPath(BuildPath(BuildDirectory(), "examples", nullptr), "hello", nullptr);
        work->WriteFile("hello.exe", ReadWholeFile(ProgramBesideTests("hello")));
        work->WriteFile("readme.txt", ReadWholeFile(BuildPath(examples, "readme.txt", nullptr)));
        ChildProcess zorpack;
        ASSERT_TRUE(zorpack.Start(ProgramBesideTests("zorpack"),
                                  {"build", "-o", Installer(), "--name", "Hello", "--version", "1.0", "--shortcut",
                                   ShortcutName(), "--windows", kHelloWindow, "--publisher", "Acme", "--uninstaller",
                                   *work / "hello.exe", *work / "readme.txt"}));
        ASSERT_EQ(zorpack.Wait(), 0);
    }
    static void TearDownTestSuite() {
        RemoveShortcutsAndRegistration();
        RemoveUninstallEntry(kEntryName);
        delete work;
    }
    // A link an earlier run left would be another installation's, which an
    // uninstaller leaves alone: none is left.
    void SetUp() override {
        RemoveShortcutsAndRegistration();
        RemoveUninstallEntry(kEntryName);
        ::DeleteFileA(Link(kFolderCommonPrograms, "Acme").c_str());
    }

    static std::string Installer() { return *work / "HelloSetup.exe"; }
    static TempDir* work;
};

TempDir* UninstallTest::work = nullptr;

TEST_F(UninstallTest, TheEntryDescribesTheInstallationAndASilentUninstallRemovesIt) {
    const TempDir target;
    const std::string directory = target / "Hello App";
    const std::string executable = BuildPath(directory, "hello.exe", nullptr);
    const std::string uninstaller = BuildPath(directory, "uninstall.exe", nullptr);
    ASSERT_EQ(RunToEnd(Installer(), "/S /D=" + directory), 0);
    ExpectInstalled(Installer(), work->path(), directory, std::size(kFiles));
    const std::string quoted = "\"" + uninstaller + "\"";
    const std::map<std::string, std::string> expected = {
        {"DisplayName", "Hello"},
        {"DisplayVersion", "1.0"},
        {"Publisher", "Acme"},
        {"InstallLocation", directory},
        {"DisplayIcon", executable},
        {"UninstallString", quoted},
        {"QuietUninstallString", quoted + " /S"},
        {"EstimatedSize",
         std::to_string(
             (ReadWholeFile(*work / "hello.exe").size() + ReadWholeFile(*work / "readme.txt").size() + 1023) / 1024)},
        {"NoModify", "1"},
        {"NoRepair", "1"},
    };
    EXPECT_EQ(EntryValues(), expected);
    const std::string menuLink = Link(kFolderCommonPrograms, "Acme");
    ExpectLinkTo(menuLink, executable);

    // The application registers itself; the user adds a file of their own.
    Register(executable);
    const std::string notes = BuildPath(directory, "notes.txt", nullptr);
    target.WriteFile("Hello App\\notes.txt", "mine");

    EXPECT_EQ(RunToEnd(uninstaller, "/S"), 0);
    for (const char* file : kFiles) EXPECT_FALSE(FileExists(BuildPath(directory, file, nullptr))) << file;
    EXPECT_FALSE(FileExists(menuLink));
    EXPECT_FALSE(DirectoryExists(GetPathPart(menuLink, kPathDirectory))) << "the publisher's menu folder, emptied";
    EXPECT_TRUE(EntryValues().empty()) << "the entry is gone";
    HKEY appPaths = nullptr;
    EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hello.exe",
                              0, KEY_READ, &appPaths),
              ERROR_SUCCESS);
    EXPECT_EQ(ReadWholeFile(notes), "mine") << "a file the installation did not make stays";
    EXPECT_TRUE(GoneWithin(uninstaller, 10000)) << "the uninstaller's own file";
    EXPECT_TRUE(DirectoryExists(directory)) << "not empty: the user's file is there";
}

TEST_F(UninstallTest, AnUpdateRewritesTheUninstallerAndTheEntry) {
    const TempDir target;
    const std::string directory = target / "Hello";
    const std::string executable = BuildPath(directory, "hello.exe", nullptr);
    ASSERT_EQ(RunToEnd(Installer(), "/S /D=" + directory), 0);
    Register(executable);
    ::DeleteFileA(BuildPath(directory, "uninstall.exe", nullptr).c_str());
    RemoveUninstallEntry(kEntryName);
    ASSERT_EQ(RunToEnd(Installer(), "/S"), 0) << "an update into the registered directory";
    EXPECT_EQ(EntryValues()["InstallLocation"], directory);
    const std::string uninstaller = BuildPath(directory, "uninstall.exe", nullptr);
    ASSERT_TRUE(FileExists(uninstaller));
    EXPECT_EQ(RunToEnd(uninstaller, "/S"), 0);
    EXPECT_TRUE(GoneWithin(directory, 10000)) << "emptied, the directory goes too";
}

TEST_F(UninstallTest, ARunningApplicationIsLeftAsItIs) {
    const TempDir target;
    const std::string directory = target / "Hello";
    ASSERT_EQ(RunToEnd(Installer(), "/S /D=" + directory), 0);
    ChildProcess hello;
    ASSERT_TRUE(hello.Start(ProgramBesideTests("hello"), {}));
    ASSERT_TRUE(WaitForWindow(kHelloWindow, 30000));
    const std::string uninstaller = BuildPath(directory, "uninstall.exe", nullptr);
    EXPECT_EQ(RunToEnd(uninstaller, "/S"), 4);
    EXPECT_TRUE(FileExists(BuildPath(directory, "hello.exe", nullptr)));
    EXPECT_FALSE(EntryValues().empty());
    CloseHello();
    EXPECT_EQ(hello.Wait(), 0);
    EXPECT_EQ(RunToEnd(uninstaller, "/S"), 0);
}

} // namespace

// An installer built by zorpack.exe from a directory tree, its executable
// in a folder "bin", installed under Wine through the options dialog, then
// updated through the path the executable registered: every file lands below
// its folders, the links point into "bin", and the update finds the
// installation directory above it.
#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "common/path.h"
#include "tests/common/temp_dir.h"
#include "tests/e2e/installer_driving.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

class SubfolderInstallationTest : public ::testing::Test {
protected:
    // The tree, three levels deep, read-me files of one name in several
    // folders; no file at its top, so that bin\hello.exe comes first.
    static void SetUpTestSuite() {
        work = new TempDir;
        const std::string examples = BuildPath(BuildPath(BuildDirectory(), "examples", nullptr), "hello", nullptr);
        const std::string readme = ReadWholeFile(BuildPath(examples, "readme.txt", nullptr));
        const std::pair<const char*, std::string> files[] = {
            {"bin\\hello.exe", ReadWholeFile(ProgramBesideTests("hello"))},
            {"bin\\readme.txt", "the program's own notes\r\n"},
            {"docs\\readme.txt", readme},
            {"docs\\en\\license.txt", ReadWholeFile(BuildPath(examples, "license.txt", nullptr))},
            {"docs\\en\\readme.txt", readme + "(English)\r\n"},
            {"docs\\fr\\readme.txt", "Lisez-moi\r\n"},
        };
        for (const auto& [name, content] : files) {
            CreateDirectoryTree(GetPathPart(BuildPath(Tree(), name, nullptr), kPathDirectory));
            work->WriteFile(std::string("tree\\") + name, content);
        }
        ChildProcess zorpack;
        ASSERT_TRUE(zorpack.Start(ProgramBesideTests("zorpack"),
                                  {"build", "-o", Installer(), "--name", "Hello", "--version", "1.0", "--shortcut",
                                   ShortcutName(), "--windows", kHelloWindow, Tree() + "\\"}));
        ASSERT_EQ(zorpack.Wait(), 0);
    }
    static void TearDownTestSuite() {
        RemoveShortcutsAndRegistration();
        delete work;
    }
    void SetUp() override { RemoveShortcutsAndRegistration(); }
    void TearDown() override { RemoveShortcutsAndRegistration(); }

    static std::string Tree() { return *work / "tree"; }
    static std::string Installer() { return *work / "TreeSetup.exe"; }

    static TempDir* work;
};

TempDir* SubfolderInstallationTest::work = nullptr;

TEST_F(SubfolderInstallationTest, InstallsIntoFoldersThenUpdatesThroughTheRegisteredExecutable) {
    InstallerArchive archive;
    archive.SetFilePath(Installer());
    ASSERT_TRUE(archive.LoadInstaller());
    ASSERT_EQ(archive.GetFirstFileName(), "bin\\hello.exe");

    const TempDir target;
    const std::string directory = target / "Hello App";
    const std::string executable = BuildPath(BuildPath(directory, "bin", nullptr), "hello.exe", nullptr);
    {
        ChildProcess setup;
        ASSERT_TRUE(setup.Start(Installer(), {}));
        ChooseInDialog({directory, false, false, false, false, false}, "tree-options-dialog");
        Answer(kTitle, "Hello (1.0) succesfully installed.", kOk, "tree-installed");
        EXPECT_EQ(setup.Wait(), 0);
    }
    ExpectInstalled(Installer(), Tree(), directory, 6);
    ExpectLinkTo(Link(kFolderPrograms, "ZorSoftware"), executable);

    // A damaged file of the installation, repaired by the update; the
    // registered executable lies in "bin", the installation above it.
    const std::string english = BuildPath(directory, "docs\\en\\readme.txt", nullptr);
    target.WriteFile("Hello App\\docs\\en\\readme.txt", "damaged");
    Register(executable);
    ChildProcess update;
    ASSERT_TRUE(update.Start(Installer(), {}));
    Answer(kTitle, "'Hello' (1.0) will be upadated in:\n\n" + executable + "\n\nDo you confirm the installation path ?",
           kYes, "tree-update-question");
    // The archive's own options: links for all users, the program started.
    Answer(kTitle, "Hello (1.0) succesfully updated.", kOk, nullptr);
    CloseHello();
    EXPECT_EQ(update.Wait(), 0);
    EXPECT_EQ(ReadWholeFile(english), ReadWholeFile(BuildPath(Tree(), "docs\\en\\readme.txt", nullptr)));
    ExpectInstalled(Installer(), Tree(), directory, 6);
    EXPECT_FALSE(DirectoryExists(BuildPath(directory, "bin\\docs", nullptr))) << "nothing goes below bin";
    ExpectLinkTo(Link(kFolderCommonPrograms, "ZorSoftware"), executable);
}

} // namespace

// Install, update and uninstall under Wine, as a publisher's products meet
// on one machine: versions 1.0 and 2.0 of Hello (one uninstall key), and
// Other, a second product of the same publisher. Each installation keeps to
// its own folder, an update finds the installation wherever it went, and an
// uninstaller removes its own installation only, and only from there.
#include "common/file_system.h"
#include "common/path.h"
#include "common/windows_api.h"
#include "tests/common/temp_dir.h"
#include "tests/e2e/installer_driving.h"
#include "tests/support/process.h"
#include "win32/shell_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr char kPublisher[] = "Acme Cycle";
constexpr char kHelloKey[] = "AcmeHello";
constexpr char kOtherKey[] = "Acme Cycle Other"; // the default: publisher and name

class InstallationCycleTest : public ::testing::Test {
protected:
    // Hello 1.0: hello.exe, readme.txt, docs\old.txt. Hello 2.0: its
    // executable moved into bin, no docs. Other: other.exe and readme.txt.
    static void SetUpTestSuite() {
        work = new TempDir;
        const std::string hello = ReadWholeFile(ProgramBesideTests("hello"));
        const std::pair<const char*, std::string> files[] = {
            {"v1\\hello.exe", hello},           {"v1\\readme.txt", "Hello 1.0\r\n"}, {"v1\\docs\\old.txt", "1.0 only"},
            {"v2\\bin\\hello.exe", hello},      {"v2\\readme.txt", "Hello 2.0\r\n"}, {"other\\other.exe", hello},
            {"other\\readme.txt", "Other\r\n"},
        };
        for (const auto& [name, content] : files) {
            CreateDirectoryTree(GetPathPart(*work / name, kPathDirectory));
            work->WriteFile(name, content);
        }
        Build("Hello1.exe", "Hello", "1.0", {"--uninstall-key", kHelloKey, "--main", "hello.exe", *work / "v1\\"});
        Build("Hello2.exe", "Hello", "2.0", {"--uninstall-key", kHelloKey, "--main", "bin\\hello.exe", *work / "v2\\"});
        Build("Other.exe", "Other", "1.0", {"--uninstaller", "--main", "other.exe", *work / "other\\"});
        // Hello with the uninstaller it carries, "signed" by cmd's copy: the
        // signing runs through the shell as a real signer's would.
        for (const char* version : {"1", "2"})
            Build((std::string("HelloCarried") + version + ".exe").c_str(), "Hello", *version == '1' ? "1.0" : "2.0",
                  {"--uninstall-key", kHelloKey, "--sign-command", "copy /b {in} {out} >NUL", "--main",
                   *version == '1' ? "hello.exe" : "bin\\hello.exe", *work / (std::string("v") + version + "\\")});
        for (const Layout& layout : kLzmaLayouts) {
            for (const bool second : {false, true}) {
                std::vector<std::string> rest = {"--uninstall-key", kHelloKey, "--main",
                                                 second ? "bin\\hello.exe" : "hello.exe"};
                rest.insert(rest.end(), layout.options.begin(), layout.options.end());
                rest.push_back(*work / (second ? "v2\\" : "v1\\"));
                Build((std::string(layout.name) + (second ? "2.exe" : "1.exe")).c_str(), "Hello",
                      second ? "2.0" : "1.0", rest);
            }
        }
    }
    // Hello 1.0 and 2.0 once more, for each way of LZMA.
    struct Layout {
        const char* name;
        std::vector<std::string> options;
    };
    static inline const Layout kLzmaLayouts[] = {{"HelloSolid", {"--compression", "lzma", "--solid"}},
                                                 {"HelloLzma", {"--compression", "lzma"}}};
    // Only the Start-menu link, and nothing started after an installation.
    static void Build(const char* output, const char* name, const char* version, std::vector<std::string> rest) {
        std::vector<std::string> arguments = {"build",      "-o",          *work / output, "--name",       name,
                                              "--version",  version,       "--shortcut",   Shortcut(name), "--windows",
                                              kHelloWindow, "--publisher", kPublisher,     "--options",    "0x0002"};
        arguments.insert(arguments.end(), rest.begin(), rest.end());
        ChildProcess zorpack;
        ASSERT_TRUE(zorpack.Start(ProgramBesideTests("zorpack"), arguments));
        ASSERT_EQ(zorpack.Wait(), 0) << output;
    }
    static void TearDownTestSuite() {
        Clean();
        delete work;
    }
    void SetUp() override { Clean(); }

    // No link, entry or default folder of an earlier run is left.
    static void Clean() {
        RemoveShortcutsAndRegistration();
        for (const char* key : {kHelloKey, kOtherKey}) RemoveUninstallEntry(key);
        for (const char* product : {"Hello", "Other"}) ::DeleteFileA(MenuLink(product).c_str());
        ::RemoveDirectoryA(GetPathPart(MenuLink("Hello"), kPathDirectory).c_str());
        std::error_code ignored;
        std::filesystem::remove_all(PublisherFolder(), ignored);
    }

    static std::string Installer(const char* name) { return *work / name; }
    static std::string PublisherFolder() {
        return BuildPath(GetSpecialFolderPath(kFolderProgramFiles), kPublisher, nullptr);
    }
    // {ProgramFiles}\{Publisher}\{AppName}
    static std::string DefaultFolder(const char* product) { return BuildPath(PublisherFolder(), product, nullptr); }
    static std::string Shortcut(const std::string& product) { return ShortcutName() + " " + product; }
    static std::string MenuLink(const char* product) {
        const std::string menu = BuildPath(GetSpecialFolderPath(kFolderPrograms), kPublisher, nullptr);
        return BuildPath(menu, Shortcut(product), "lnk");
    }
    static std::string In(const std::string& directory, const char* name) {
        return BuildPath(directory, name, nullptr);
    }
    // Runs the uninstaller of directory silently; its copy then deletes it.
    static void Uninstall(const std::string& directory) {
        EXPECT_EQ(RunToEnd(In(directory, "uninstall.exe"), "/S"), 0) << directory;
        EXPECT_TRUE(GoneWithin(In(directory, "uninstall.exe"), 10000)) << directory;
    }

    static TempDir* work;
};

TempDir* InstallationCycleTest::work = nullptr;

TEST_F(InstallationCycleTest, TwoProductsOfOnePublisherEachKeepTheirFolderUntilRemoved) {
    const std::string hello = DefaultFolder("Hello"), other = DefaultFolder("Other");
    ASSERT_EQ(RunToEnd(Installer("Hello1.exe"), "/S"), 0);
    ASSERT_EQ(RunToEnd(Installer("Other.exe"), "/S"), 0);
    EXPECT_EQ(ReadWholeFile(In(hello, "readme.txt")), "Hello 1.0\r\n");
    EXPECT_EQ(ReadWholeFile(In(other, "readme.txt")), "Other\r\n");
    EXPECT_EQ(UninstallEntry(kHelloKey)["InstallLocation"], hello);
    EXPECT_EQ(UninstallEntry(kOtherKey)["InstallLocation"], other);

    Uninstall(hello);
    EXPECT_TRUE(GoneWithin(hello, 10000));
    EXPECT_TRUE(UninstallEntry(kHelloKey).empty());
    EXPECT_EQ(ReadWholeFile(In(other, "readme.txt")), "Other\r\n") << "Other is intact";
    EXPECT_TRUE(FileExists(In(other, "uninstall.exe")));
    ExpectLinkTo(MenuLink("Other"), In(other, "other.exe"));

    // The other way round.
    ASSERT_EQ(RunToEnd(Installer("Hello1.exe"), "/S"), 0);
    Uninstall(other);
    EXPECT_TRUE(GoneWithin(other, 10000));
    EXPECT_EQ(ReadWholeFile(In(hello, "readme.txt")), "Hello 1.0\r\n") << "Hello is intact";
    Uninstall(hello);
    EXPECT_TRUE(GoneWithin(hello, 10000));
    EXPECT_EQ(CountDirectoryEntries(PublisherFolder()), 0) << "nothing left of either";
    EXPECT_FALSE(DirectoryExists(GetPathPart(MenuLink("Hello"), kPathDirectory))) << "nor of their menu folder";
}

TEST_F(InstallationCycleTest, UpdatesFindACustomFolderAndUninstallingLeavesNothing) {
    const TempDir target;
    const std::string directory = target / "Acme Hello";
    ASSERT_EQ(RunToEnd(Installer("Hello1.exe"), "/S /D=" + directory), 0);
    ExpectLinkTo(MenuLink("Hello"), In(directory, "hello.exe"));

    // Silently: the update goes where the entry says, the links follow the
    // executable into bin.
    ASSERT_EQ(RunToEnd(Installer("Hello2.exe"), "/S"), 0);
    EXPECT_FALSE(DirectoryExists(DefaultFolder("Hello"))) << "no second copy";
    EXPECT_EQ(ReadWholeFile(In(directory, "readme.txt")), "Hello 2.0\r\n");
    EXPECT_EQ(UninstallEntry(kHelloKey)["DisplayVersion"], "2.0");
    ExpectLinkTo(MenuLink("Hello"), In(directory, "bin\\hello.exe"));

    // Through the dialog: the update question names the installed executable.
    ChildProcess setup;
    ASSERT_TRUE(setup.StartWithRawArguments(Installer("Hello2.exe"), ""));
    Answer(kTitle,
           "'Hello' (2.0) will be upadated in:\n\n" + In(directory, "bin\\hello.exe") +
               "\n\nDo you confirm the installation path ?",
           kYes, "cycle-update-question");
    Answer(kTitle, "Hello (2.0) succesfully updated.", kOk, nullptr);
    EXPECT_EQ(setup.Wait(), 0);

    Uninstall(directory);
    EXPECT_TRUE(GoneWithin(directory, 10000)) << "1.0's docs\\old.txt went too";
    EXPECT_FALSE(FileExists(MenuLink("Hello")));
    EXPECT_TRUE(UninstallEntry(kHelloKey).empty());
}

// Through the dialog, then silently, then through the dialog again, and
// removed: the LZMA installers decode in the installer as zorpack built them.
TEST_F(InstallationCycleTest, LzmaInstallersOfEitherLayoutInstallUpdateAndUninstall) {
    for (const Layout& layout : kLzmaLayouts) {
        SCOPED_TRACE(layout.name);
        const std::string first = Installer((std::string(layout.name) + "1.exe").c_str());
        const std::string second = Installer((std::string(layout.name) + "2.exe").c_str());
        const TempDir target;
        const std::string directory = target / "Hello Lzma";
        ChildProcess setup;
        ASSERT_TRUE(setup.StartWithRawArguments(first, ""));
        ChooseInDialog({directory, false, false, false, false, false});
        Answer(kTitle, "Hello (1.0) succesfully installed.", kOk, nullptr);
        EXPECT_EQ(setup.Wait(), 0);
        ExpectInstalled(first, *work / "v1", directory, 3);

        ASSERT_EQ(RunToEnd(second, "/S"), 0);
        EXPECT_EQ(ReadWholeFile(In(directory, "readme.txt")), "Hello 2.0\r\n");
        EXPECT_EQ(ReadWholeFile(In(directory, "bin\\hello.exe")), ReadWholeFile(*work / "v2\\bin\\hello.exe"));

        ChildProcess update;
        ASSERT_TRUE(update.StartWithRawArguments(second, ""));
        Answer(kTitle,
               "'Hello' (2.0) will be upadated in:\n\n" + In(directory, "bin\\hello.exe") +
                   "\n\nDo you confirm the installation path ?",
               kYes, nullptr);
        Answer(kTitle, "Hello (2.0) succesfully updated.", kOk, nullptr);
        EXPECT_EQ(update.Wait(), 0);
        ExpectInstalled(second, *work / "v2", directory, 2);

        Uninstall(directory);
        EXPECT_TRUE(GoneWithin(directory, 10000));
        EXPECT_TRUE(UninstallEntry(kHelloKey).empty());
    }
}

// A carried uninstaller keeps its record in uninstall.dat; updates move
// between it and the uninstaller made from the installer, each keeping what
// the other recorded, and the carried one removes everything through its
// dialog, the record and itself last.
TEST_F(InstallationCycleTest, ACarriedUninstallerUpdatesBothWaysAndRemovesEverything) {
    const TempDir target;
    const std::string directory = target / "Hello Carried";
    ASSERT_EQ(RunToEnd(Installer("HelloCarried1.exe"), "/S /D=" + directory), 0);
    EXPECT_TRUE(FileExists(In(directory, "uninstall.dat")));
    ASSERT_EQ(RunToEnd(Installer("Hello2.exe"), "/S"), 0);
    EXPECT_FALSE(FileExists(In(directory, "uninstall.dat"))) << "the made uninstaller carries the record";
    ASSERT_EQ(RunToEnd(Installer("HelloCarried2.exe"), "/S"), 0);
    EXPECT_TRUE(FileExists(In(directory, "uninstall.dat")));
    EXPECT_TRUE(FileExists(In(directory, "docs\\old.txt"))) << "1.0's file, still recorded";

    ChildProcess uninstall;
    ASSERT_TRUE(uninstall.StartWithRawArguments(In(directory, "uninstall.exe"), ""));
    void* question = Answer("Hello uninstallation", "Do you want to remove 'Hello' (2.0) from:\n\n" + directory + " ?",
                            kYes, nullptr);
    Answer("Hello uninstallation", "'Hello' (2.0) was removed.", kOk, nullptr, question);
    EXPECT_EQ(uninstall.Wait(), 0);
    EXPECT_TRUE(GoneWithin(directory, 10000));
    EXPECT_TRUE(UninstallEntry(kHelloKey).empty());
}

TEST_F(InstallationCycleTest, TwoCopiesOfOneProductEachRemoveOnlyTheirOwn) {
    const TempDir target;
    const std::string one = target / "One", two = target / "Two";
    ASSERT_EQ(RunToEnd(Installer("Hello1.exe"), "/S /D=" + one), 0);
    ASSERT_EQ(RunToEnd(Installer("Hello1.exe"), "/S /D=" + two), 0);
    Uninstall(one);
    EXPECT_TRUE(GoneWithin(one, 10000));
    EXPECT_EQ(UninstallEntry(kHelloKey)["InstallLocation"], two) << "the entry is two's";
    EXPECT_FALSE(FileExists(MenuLink("Hello"))) << "the links were one's";
    for (const char* name : {"hello.exe", "readme.txt", "docs\\old.txt", "uninstall.exe"})
        EXPECT_TRUE(FileExists(In(two, name))) << name;
    Uninstall(two);
    EXPECT_TRUE(UninstallEntry(kHelloKey).empty());
}

TEST_F(InstallationCycleTest, AnUninstallerOutsideItsFolderRemovesNothing) {
    const TempDir target, documents;
    const std::string directory = target / "Hello";
    ASSERT_EQ(RunToEnd(Installer("Hello1.exe"), "/S /D=" + directory), 0);
    for (const char* name : {"readme.txt", "hello.exe"}) documents.WriteFile(name, "the user's own");
    ASSERT_TRUE(::CopyFileA(In(directory, "uninstall.exe").c_str(), (documents / "uninstall.exe").c_str(), TRUE));
    EXPECT_EQ(RunToEnd(documents / "uninstall.exe", "/S"), 2);
    EXPECT_EQ(ReadWholeFile(documents / "readme.txt"), "the user's own");
    EXPECT_EQ(ReadWholeFile(documents / "hello.exe"), "the user's own");
    EXPECT_TRUE(DirectoryExists(documents.path()));
    EXPECT_EQ(UninstallEntry(kHelloKey)["InstallLocation"], directory);

    // The copy each uninstallation leaves in the temporary folder, run by hand.
    Uninstall(directory);
    const std::string temp = GetTempDirectory();
    const std::string bystander = In(temp, "readme.txt");
    const bool planted = !FileExists(bystander);
    if (planted) std::ofstream(bystander) << "not the installation's";
    // The newest copy is this uninstallation's.
    WIN32_FIND_DATAA found, newest{};
    HANDLE search = ::FindFirstFileA(In(temp, "zor-uninstall-*.exe").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << "the uninstaller's copy";
    do {
        if (::CompareFileTime(&found.ftLastWriteTime, &newest.ftLastWriteTime) > 0) newest = found;
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    const std::string copy = In(temp, newest.cFileName);
    EXPECT_EQ(RunToEnd(copy, "/S"), 2);
    // Without "/S" it says why, in a message box.
    ChildProcess byHand;
    ASSERT_TRUE(byHand.StartWithRawArguments(copy, ""));
    Answer("ZorInstaller",
           "!Error: Unable to uninstall: '" + copy + "' belongs to the installation in '" + directory +
               "' and removes nothing elsewhere.",
           kOk, "cycle-temporary-copy");
    EXPECT_EQ(byHand.Wait(), 2);
    EXPECT_TRUE(FileExists(bystander));
    if (planted) ::DeleteFileA(bystander.c_str());
}

TEST_F(InstallationCycleTest, DirectoriesOfTheCommandLine) {
    const TempDir target;
    // "/" separates as "\" does.
    std::string slashed = target / "Slashed";
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    ASSERT_EQ(RunToEnd(Installer("Other.exe"), "/S /D=" + slashed), 0);
    EXPECT_TRUE(FileExists(target / "Slashed\\other.exe"));
    EXPECT_EQ(UninstallEntry(kOtherKey)["InstallLocation"], target / "Slashed");
    // No way out of a folder, no device or extended-length paths.
    for (const std::string& refused :
         {target / "Slashed\\..\\dd", "\\\\?\\" + target / "dd", "\\\\.\\" + target / "dd", target / "NUL"}) {
        EXPECT_EQ(RunToEnd(Installer("Other.exe"), "/S /D=" + refused), 1) << refused;
        EXPECT_FALSE(DirectoryExists(target / "dd")) << refused;
    }
    Uninstall(target / "Slashed");
}

} // namespace

// The installer stub under Wine: an installer built by zorpack, started with
// each command-line option, its message boxes read and answered from here.
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/system_info.h"
#include "tests/common/temp_dir.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work = new TempDir;
        work->WriteFile("Hello.exe", std::string(5000, 'h') + "MZ fake program");
        work->WriteFile("readme.txt", "Read me first.\r\n");
        ChildProcess zorpack;
        ASSERT_TRUE(zorpack.Start(ProgramBesideTests("zorpack"),
                                  {"build", "-o", *work / "Setup.exe", "--name", "Hello", "--version", "1.0",
                                   "--windows", "Hello;Hello -", *work / "Hello.exe", *work / "readme.txt"}));
        ASSERT_EQ(zorpack.Wait(), 0);
        ASSERT_TRUE(FileExists(*work / "Setup.exe"));
        screenshots = BuildPath(GetPathPart(GetModuleDirectory(), kPathDirectory), "e2e-screenshots", nullptr);
        CreateDirectoryTree(screenshots);
    }
    static void TearDownTestSuite() { delete work; }

    // Starts the installer, answers every box it shows with OK and returns
    // their texts in order; the process must then end with exitCode.
    static std::vector<std::string> Run(const std::string& setup, const std::vector<std::string>& arguments,
                                        const std::string& caption, std::size_t boxes, const std::string& shot,
                                        int exitCode = 0) {
        ChildProcess process;
        EXPECT_TRUE(process.Start(setup, arguments));
        std::vector<std::string> texts;
        void* previous = nullptr;
        for (std::size_t i = 0; i < boxes; ++i) {
            const DrivenWindow box = WaitForWindow(caption, 15000, previous);
            if (!box) {
                ADD_FAILURE() << "no window '" << caption << "' number " << i + 1;
                break;
            }
            texts.push_back(MessageText(box));
            if (i == 0 && !shot.empty()) SaveScreenshot(box, BuildPath(screenshots, shot, "bmp"));
            EXPECT_TRUE(PressButton(box, 1));
            previous = box.handle;
        }
        EXPECT_EQ(process.Wait(), exitCode);
        return texts;
    }

    static TempDir* work;
    static std::string screenshots;
};

TempDir* StartupTest::work = nullptr;
std::string StartupTest::screenshots;

TEST_F(StartupTest, ShowsTheArchiveContent) {
    const auto texts = Run(*work / "Setup.exe", {"-c"}, "Hello", 1, "content");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Installation archive content:\n\nApplication name:\n\tHello (1.0)\nShortcut name:\n\tHello\n"
                        "Windows search list:\n\tHello\n\tHello -\nFiles list:\n\tHello.exe\n\treadme.txt\n");
}

TEST_F(StartupTest, ShowsContentThenVersionInOrder) {
    const auto texts = Run(*work / "Setup.exe", {"-c", "-v"}, "Hello", 2, "version");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("Installation archive content:", 0), 0u);
    EXPECT_EQ(texts[1], "ZorInstaller version: 0.5");
}

TEST_F(StartupTest, AnUnknownOptionShowsTheUsage) {
    const auto texts = Run(*work / "Setup.exe", {"-F"}, "Hello", 1, "usage", 1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Setup [Options] [/D=DIR]\n   where options are:\n       -c : Display archive content\n"
                        "       -f : Force re-installation (don't update)\n       -v : Display installer version\n"
                        "       /S : Silent installation: no window, log in %TEMP%\n"
                        "   /D=DIR : Installation directory, absolute, last (spaces allowed, no quotes)\n"
                        "   /extract DIR : Only write the files into DIR, verified: no registry,\n"
                        "                  shortcuts or uninstaller\n"
                        "   exit codes:\n"
                        "       0 installed, 1 bad command line, 2 archive not loaded,\n"
                        "       3 folder not created, 4 application running, 5 extraction failed,\n"
                        "       6 shortcuts failed, 7 canceled, 8 uninstaller failed,\n"
                        "       9 folder of another application\n");
}

TEST_F(StartupTest, ADamagedInstallerShowsTheLoadFailureEvenWithAnOption) {
    std::string bytes = ReadWholeFile(*work / "Setup.exe");
    bytes[bytes.size() - 64] = 'X';
    const std::string damaged = work->WriteFile("Damaged.exe", bytes);
    const auto texts = Run(damaged, {"-v"}, "ZorInstaller", 1, "load-failure", 2);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "!Error: Unable to load installation (ErrorZorInstaller: Bad signature)");
}

} // namespace

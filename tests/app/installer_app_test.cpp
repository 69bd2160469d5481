#include "app/installer_app.h"
#include "common/file.h"
#include "tests/app/installer_files.h"
#include "tests/app/scripted_host.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kErrorReadFault = 30; // ERROR_READ_FAULT

class InstallerAppRun : public ::testing::Test {
protected:
    void SetUp() override { WriteInstaller(installer_, InstallerContent()); }
    void TearDown() override { ClearFileFaults(); }

    // InitInstance's return and the boxes it showed; the exit code goes to exitCode_.
    std::vector<ShownMessage> Run(const std::string& options, int& returned) {
        ScriptedHost host(installer_, "\"" + installer_ + "\"" + options);
        InstallerApp app(host, host);
        returned = app.InitInstance();
        exitCode_ = app.ExitCode();
        return host.shown;
    }
    int exitCode_ = -1;

    TempDir dir_;
    const std::string installer_ = dir_ / "zorsetup.exe";
};

TEST_F(InstallerAppRun, AlwaysReturnsFalse) {
    for (const char* options : {"", " -f", " -v", " -x"}) {
        int returned = -1;
        Run(options, returned);
        EXPECT_EQ(returned, 0) << options;
    }
}

TEST_F(InstallerAppRun, ShowsTheStartupBoxes) {
    int returned = -1;
    const std::vector<ShownMessage> shown = Run(" -v -f", returned);
    EXPECT_EQ(returned, 0);
    // "-f" goes on into the installation, whose options dialog the scripted
    // host cancels.
    EXPECT_EQ(shown, std::vector<ShownMessage>({{"ZorInstaller version: 0.5", "Zor Demo", 0x40},
                                                {"'Zor Demo' installation canceled.", "Zor Demo installation", 0x10}}));
}

TEST_F(InstallerAppRun, AReadFailureWhileLoadingEndsWithOneErrorBox) {
    // Loading reads the tailer, then the TOC and the four strings through one
    // buffer: a failure of either read must end the run with the file
    // layer's message and nothing else.
    for (unsigned read = 1; read <= 2; ++read) {
        SCOPED_TRACE("failing read " + std::to_string(read));
        InjectFileFault(FileOperation::Read, read, kErrorReadFault);
        int returned = -1;
        const std::vector<ShownMessage> shown = Run(" -c -v", returned);
        EXPECT_EQ(returned, 0);
        const std::string expected = FileException(FileOperation::Read, installer_, kErrorReadFault).what();
        EXPECT_EQ(shown, std::vector<ShownMessage>({{expected, "ZorInstaller", 0x10}}));
        EXPECT_EQ(exitCode_, 2) << "the archive was not loaded";
        ClearFileFaults();
    }
}

} // namespace

#include "common/file.h"
#include "tests/app/installer_files.h"
#include "tests/app/installer_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kErrorReadFault = 30; // ERROR_READ_FAULT

class InstallerAppRun : public InstallerRun {
protected:
    void SetUp() override { WriteInstaller(installer_, InstallerContent()); }
    void TearDown() override { ClearFileFaults(); }
};

// Run checks that InitInstance returns FALSE.
TEST_F(InstallerAppRun, AlwaysReturnsFalse) {
    for (const char* options : {"", "-f", "-v", "-x"}) {
        SCOPED_TRACE(options);
        Run(installer_, options);
    }
}

TEST_F(InstallerAppRun, ShowsTheStartupBoxes) {
    Run(installer_, "-v -f");
    // "-f" goes on into the installation, whose options dialog the scripted
    // host cancels.
    EXPECT_EQ(host_.shown,
              std::vector<ShownMessage>({{"ZorInstaller version: 0.5", "Zor Demo", 0x40},
                                         {"'Zor Demo' installation canceled.", "Zor Demo installation", 0x10}}));
}

TEST_F(InstallerAppRun, AReadFailureWhileLoadingEndsWithOneErrorBox) {
    // Loading reads the tailer, then the TOC and the four strings through one
    // buffer: a failure of either read must end the run with the file
    // layer's message and nothing else.
    for (unsigned read = 1; read <= 2; ++read) {
        SCOPED_TRACE("failing read " + std::to_string(read));
        InjectFileFault(FileOperation::Read, read, kErrorReadFault);
        EXPECT_EQ(Run(installer_, "-c -v"), 2) << "the archive was not loaded";
        const std::string expected = FileException(FileOperation::Read, installer_, kErrorReadFault).what();
        EXPECT_EQ(host_.shown, std::vector<ShownMessage>({{expected, "ZorInstaller", 0x10}}));
        ClearFileFaults();
    }
}

} // namespace

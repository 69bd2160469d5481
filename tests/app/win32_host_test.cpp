// The real host, as far as it can run without a user: message boxes are
// driven end to end elsewhere.
#include "app/command_line.h"
#include "app/installer_host_win32.h"
#include "common/path.h"
#include "common/system_info.h"
#include "common/text_utils.h"

#include <gtest/gtest.h>

namespace {

TEST(Win32InstallerHost, NamesThisProgramInPathAndCommandLine) {
    Win32InstallerHost host;
    EXPECT_EQ(host.ModulePath(), GetModulePath());
    EXPECT_TRUE(EqualsIgnoringCase(GetPathPart(host.ModulePath(), kPathFileName), "app_tests.exe"))
        << host.ModulePath();

    // However the program was started, argument 0 of its own command line
    // names it.
    const CommandLine commandLine(host.RawCommandLine().c_str());
    ASSERT_GE(commandLine.GetCount(), 1u) << host.RawCommandLine();
    EXPECT_TRUE(
        EqualsIgnoringCase(GetPathPart(GetPathPart(commandLine.GetAt(0), kPathFileName), kPathBaseName), "app_tests"))
        << host.RawCommandLine();
}

} // namespace

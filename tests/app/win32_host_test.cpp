// The real host, as far as it can run without a user: message boxes are
// driven end to end elsewhere.
#include "app/command_line.h"
#include "app/installer_host_win32.h"
#include "archive/installation_names.h"
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

// Both reads take a value only when it fits their buffer with its
// terminating NUL: App Paths' 261 bytes, the general read's 2048 bytes.
TEST(Win32InstallerHost, ARegistryStringIsReadOnlyWhenItFitsTheBuffer) {
    Win32InstallerHost host;
    const std::string fileName = "zor-read-limit-test.exe";
    const std::string key = AppPathsKeyOf(fileName);
    const struct {
        std::size_t length; // characters, stored with their NUL
        bool appPath;       // read as the registered path, else by the general read
        bool read;
    } cases[] = {
        {259, true, true},
        {260, true, false},
        {2047, false, true},
        {2048, false, false},
    };
    for (const auto& c : cases) {
        const std::string text(c.length, 'p');
        ASSERT_TRUE(host.WriteRegistryValues(RegistryScope::Machine, key, {{"", text}}));
        const std::string read =
            c.appPath ? host.RegisteredAppPath(fileName) : host.ReadRegistryString(RegistryScope::Machine, key, "");
        EXPECT_EQ(read, c.read ? text : "") << c.length;
    }
    EXPECT_TRUE(host.DeleteRegistryKey(RegistryScope::Machine, key));
}

} // namespace

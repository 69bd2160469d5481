// The real system services: message boxes and the dialogs are driven end to
// end elsewhere.
#include "app/command_line.h"
#include "app/installer_system_win32.h"
#include "app/registered_installation.h"
#include "archive/installation_names.h"
#include "common/path.h"
#include "common/system_info.h"
#include "common/text_utils.h"

#include <gtest/gtest.h>

namespace {

TEST(Win32InstallerSystem, NamesThisProgramInPathAndCommandLine) {
    Win32InstallerSystem system;
    EXPECT_EQ(system.ModulePath(), GetModulePath());
    EXPECT_TRUE(EqualsIgnoringCase(GetPathPart(system.ModulePath(), kPathFileName), "app_tests.exe"))
        << system.ModulePath();

    // However the program was started, argument 0 of its own command line
    // names it.
    const CommandLine commandLine(system.RawCommandLine().c_str());
    ASSERT_GE(commandLine.GetCount(), 1u) << system.RawCommandLine();
    EXPECT_TRUE(
        EqualsIgnoringCase(GetPathPart(GetPathPart(commandLine.GetAt(0), kPathFileName), kPathBaseName), "app_tests"))
        << system.RawCommandLine();
}

// A value is read only when the buffer holds it with a byte to spare for the
// NUL the read adds: App Paths' 261 bytes take a path of 259 characters
// (stored with its NUL), the general read's 2049 bytes a string of 2047.
TEST(Win32InstallerSystem, ARegistryStringIsReadOnlyWhenItFitsTheBuffer) {
    Win32InstallerSystem system;
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
        ASSERT_TRUE(system.WriteRegistryValues(RegistryScope::Machine, key, {{"", text}}));
        const std::string read = c.appPath ? RegisteredAppPath(system, fileName)
                                           : system.ReadRegistryString(RegistryScope::Machine, key, "");
        EXPECT_EQ(read, c.read ? text : "") << c.length;
    }
    EXPECT_TRUE(system.DeleteRegistryKey(RegistryScope::Machine, key));
}

} // namespace

// An earlier installation found through its registered executable when the
// main executable lies in a folder of the installation: the key looked up
// and the directory the update goes to.
#include "app/registered_installation.h"
#include "common/path.h"

#include <gtest/gtest.h>

namespace {

// A path of this platform from components (BuildPath would take a short
// first component for a Windows drive).
std::string Path(std::initializer_list<const char*> components) {
    std::string path;
    for (const char* component : components) path += (path.empty() ? "" : std::string(1, PathSeparator())) + component;
    return path;
}

TEST(RegisteredInstallation, TheAppPathsNameIsTheExecutablesFileName) {
    EXPECT_EQ(AppPathsName("demo.exe"), "demo.exe");
    EXPECT_EQ(AppPathsName("bin\\demo.exe"), "demo.exe");
    EXPECT_EQ(AppPathsName("a\\b\\c\\demo.exe"), "demo.exe");
}

TEST(RegisteredInstallation, TheDirectoryIsThePathWithoutTheRelativeName) {
    const std::string base = Path({"apps", "Zor Demo"});
    struct Case {
        std::string registered;
        const char* firstEntry;
        std::string directory;
    };
    const Case cases[] = {
        {Path({"apps", "Zor Demo", "demo.exe"}), "demo.exe", base},
        {Path({"apps", "Zor Demo", "bin", "demo.exe"}), "bin\\demo.exe", base},
        {Path({"apps", "Zor Demo", "x", "y", "demo.exe"}), "x\\y\\demo.exe", base},
        // Letter case may differ, as Windows finds the file either way.
        {Path({"apps", "Zor Demo", "BIN", "Demo.EXE"}), "bin\\demo.exe", base},
        // The executable registered elsewhere than the archive would put it:
        // the registered file's own directory.
        {Path({"apps", "Zor Demo", "demo.exe"}), "bin\\demo.exe", base},
        {Path({"apps", "Zor Demo", "other", "demo.exe"}), "bin\\demo.exe", Path({"apps", "Zor Demo", "other"})},
        // "xbin" ends with "bin" but is another folder.
        {Path({"apps", "Zor Demo", "xbin", "demo.exe"}), "bin\\demo.exe", Path({"apps", "Zor Demo", "xbin"})},
        // Nothing before the relative name: no directory to strip it from.
        {Path({"bin", "demo.exe"}), "bin\\demo.exe", "bin"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InstallationDirectoryFromRegisteredPath(c.registered, c.firstEntry), c.directory)
            << c.registered << " / " << c.firstEntry;
}

#ifdef _WIN32
TEST(RegisteredInstallation, ADriveRootKeepsItsSeparator) {
    EXPECT_EQ(InstallationDirectoryFromRegisteredPath("C:\\bin\\demo.exe", "bin\\demo.exe"), "C:\\");
    EXPECT_EQ(InstallationDirectoryFromRegisteredPath("C:\\demo.exe", "demo.exe"), "C:\\");
}
#endif

} // namespace

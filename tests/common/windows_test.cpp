// Windows-only behaviour: drives and the system's message table.
#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/windows_api.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WindowsDrives, ShortPathsAreDrives) {
    EXPECT_TRUE(DirectoryExists("C:"));
    EXPECT_TRUE(DirectoryExists("C:\\"));
    EXPECT_TRUE(DirectoryExists("c:\\"));
    // Wine maps C: and Z: only.
    EXPECT_FALSE(DirectoryExists("B:\\"));
    EXPECT_FALSE(DirectoryExists("B:"));
    EXPECT_FALSE(FileExists("C:\\*"));
}

TEST(WindowsDrives, TheDriveIsNeverCreated) {
    std::string error;
    EXPECT_FALSE(CreateDirectoryTree("B:\\zor\\dir", &error));
    EXPECT_EQ(error.rfind("!Error: Unable to create directory 'B:\\zor' (", 0), 0u) << error;
}

TEST(WindowsDrives, CreatesTreesBelowADriveRoot) {
    TempDir dir;
    ASSERT_EQ(dir.path().substr(1, 2), ":\\");
    const std::string deep = dir.path() + "\\a\\b\\c";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_EQ(GetPathPart(dir.path().substr(0, 3) + "file.txt", kPathDirectory), dir.path().substr(0, 3));
}

TEST(WindowsSystemMessages, ComeFromTheSystemWithTheCode) {
    const std::string text = FormatSystemMessage(2);
    EXPECT_GT(text.size(), 4u);
    EXPECT_EQ(text.substr(text.size() - 4), " [2]");
    EXPECT_EQ(text.find('\r'), std::string::npos);
    // A message with insertion markers is returned with them, not read from nowhere.
    EXPECT_NE(FormatSystemMessage(317).rfind(" [317]"), std::string::npos);
}

} // namespace

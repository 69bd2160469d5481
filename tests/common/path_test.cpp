#include "common/path.h"

#include <gtest/gtest.h>

namespace {

struct BuildCase {
    PathStyle style;
    const char* directory;
    const char* name;
    const char* extension;
    const char* expected;
};

TEST(BuildPath, FollowsTheSeparatorRulesOfEachStyle) {
    const auto W = PathStyle::Windows;
    const auto P = PathStyle::Posix;
    const BuildCase cases[] = {
        {W, "C:\\Programs", "App", "lnk", "C:\\Programs\\App.lnk"},
        {W, "C:\\Programs\\", "App", "lnk", "C:\\Programs\\App.lnk"},
        {W, "", "App", "lnk", "App.lnk"},
        {W, "C:", "App", nullptr, "C:App"},
        {W, "C:\\", "App", nullptr, "C:\\App"},
        {W, "abc", "App", nullptr, "abcApp"}, // one to three characters: taken as a drive
        {W, ".", "App", nullptr, ".\\App"},
        {W, "C:\\Dir", "", nullptr, "C:\\Dir"},    // no name, no extension: unchanged
        {W, "C:\\Dir", "", "", "C:\\Dir\\"},       // an empty extension is not a null one
        {W, "C:\\Dir", "App", "", "C:\\Dir\\App"}, // no "." for an empty extension
        {P, "/usr/lib", "app", "so", "/usr/lib/app.so"},
        {P, "/usr/lib/", "app", nullptr, "/usr/lib/app"},
        {P, "ab", "app", nullptr, "ab/app"}, // no drives on POSIX
        {P, "/", "app", nullptr, "/app"},
        {P, "", "app", "txt", "app.txt"},
    };
    for (const BuildCase& c : cases)
        EXPECT_EQ(BuildPath(c.directory, c.name, c.extension, c.style), c.expected) << c.directory << " + " << c.name;
}

TEST(ChildPath, AddsOneSeparatorUnlessTheDirectoryEndsWithOne) {
    const auto W = PathStyle::Windows;
    const auto P = PathStyle::Posix;
    const BuildCase cases[] = {
        {W, "C:\\Dir", "a", nullptr, "C:\\Dir\\a"},
        {W, "C:\\", "*", nullptr, "C:\\*"},
        {W, "ab", "c", nullptr, "ab\\c"}, // no drive, unlike BuildPath
        {W, "", "a", nullptr, "a"},
        {P, "/", "a", nullptr, "/a"},
        {P, "/tmp", "a", nullptr, "/tmp/a"},
    };
    for (const BuildCase& c : cases) EXPECT_EQ(ChildPath(c.directory, c.name, c.style), c.expected) << c.directory;
}

struct PartCase {
    PathStyle style;
    const char* path;
    const char* directory;
    const char* fileName;
    const char* extension;
    const char* baseName;
};

TEST(GetPathPart, SplitsAtTheLastSeparator) {
    const auto W = PathStyle::Windows;
    const auto P = PathStyle::Posix;
    const PartCase cases[] = {
        {W, "C:\\Program Files\\Zor\\setup.exe", "C:\\Program Files\\Zor", "setup.exe", "exe", "setup"},
        {W, "C:\\setup.exe", "C:\\", "setup.exe", "exe", "setup"}, // a drive root keeps its backslash
        {W, "\\setup.exe", "\\", "setup.exe", "exe", "setup"},
        {W, "setup.exe", "", "setup.exe", "exe", "setup"},
        {W, "C:\\dir.d\\archive.tar.gz", "C:\\dir.d", "archive.tar.gz", "gz", "archive.tar"},
        {W, "C:\\dir.d\\README", "C:\\dir.d", "README", "", "README"},
        {W, ".profile", "", ".profile", "profile", ".profile"}, // leading "." kept without separator
        {W, "C:\\x\\.profile", "C:\\x", ".profile", "profile", ""},
        {W, "C:\\dir\\", "C:\\dir", "", "", ""},
        {W, "a/b.txt", "", "a/b.txt", "txt", "a/b"}, // only backslashes separate
        {W, "", "", "", "", ""},
        {P, "/usr/lib/libz.so", "/usr/lib", "libz.so", "so", "libz"},
        {P, "/libz.so", "/", "libz.so", "so", "libz"},
        {P, "ab/c.txt", "ab", "c.txt", "txt", "c"}, // no drive rule on POSIX
        {P, "C:\\x.txt", "", "C:\\x.txt", "txt", "C:\\x"},
    };
    for (const PartCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetPathPart(c.path, kPathDirectory, c.style), c.directory);
        EXPECT_EQ(GetPathPart(c.path, kPathFileName, c.style), c.fileName);
        EXPECT_EQ(GetPathPart(c.path, kPathExtension, c.style), c.extension);
        EXPECT_EQ(GetPathPart(c.path, kPathBaseName, c.style), c.baseName);
    }
    EXPECT_EQ(GetPathPart("C:\\a\\b.c", 4, W), "");
    EXPECT_EQ(GetPathPart("C:\\a\\b.c", -1, W), "");
}

TEST(InsertPathSuffix, PutsTheSuffixBeforeTheExtension) {
    const auto W = PathStyle::Windows;
    EXPECT_EQ(InsertPathSuffix("C:\\logs\\app.log", "1", W), "C:\\logs\\app.1.log");
    EXPECT_EQ(InsertPathSuffix("C:\\app.log", "2", W), "C:\\app.2.log");
    EXPECT_EQ(InsertPathSuffix("abc\\app.log", "3", W), "abc\\app.3.log"); // short directory keeps its separator
    EXPECT_EQ(InsertPathSuffix("app.log", "old", W), "app.old.log");
    EXPECT_EQ(InsertPathSuffix("C:\\logs\\app", "1", W), "C:\\logs\\app.1");
    EXPECT_EQ(InsertPathSuffix("/var/log/app.log", "1", PathStyle::Posix), "/var/log/app.1.log");
}

TEST(WithNativeSeparators, TurnsSlashesIntoBackslashesOnlyInWindowsStyle) {
    EXPECT_EQ(WithNativeSeparators("logs/app/x.log", PathStyle::Windows), "logs\\app\\x.log");
    EXPECT_EQ(WithNativeSeparators("C:\\a/b", PathStyle::Windows), "C:\\a\\b");
    EXPECT_EQ(WithNativeSeparators("logs/app\\x.log", PathStyle::Posix), "logs/app\\x.log");
}

TEST(IsAbsolutePath, NeedsADriveRootOrAShareOnWindowsAndASlashOnPosix) {
    constexpr PathStyle win = PathStyle::Windows, posix = PathStyle::Posix;
    for (const char* path : {"C:\\", "c:/x", "Z:\\Program Files\\A", "\\\\server\\share", "//server/share"})
        EXPECT_TRUE(IsAbsolutePath(path, win)) << path;
    // Relative to a current directory, or to the current drive's root.
    for (const char* path : {"", "C:", "C:x", "x\\y", "\\x", "/x", "\\\\", "\\\\\\x", "1:\\x", "%ProgramFiles%\\x"})
        EXPECT_FALSE(IsAbsolutePath(path, win)) << path;
    EXPECT_TRUE(IsAbsolutePath("/opt/app", posix));
    for (const char* path : {"", "opt/app", "C:\\x", "./x"}) EXPECT_FALSE(IsAbsolutePath(path, posix)) << path;
}

TEST(PathFunctions, HandleTextsLongerThanThePathLimit) {
    const std::string directory(3 * kMaxPath, 'd');
    const std::string name(2 * kMaxPath, 'n');
    const std::string path = BuildPath(directory, name, "ext");
    EXPECT_EQ(path.size(), directory.size() + 1 + name.size() + 4);
    EXPECT_EQ(GetPathPart(path, kPathBaseName), name);
    EXPECT_EQ(GetPathPart(path, kPathDirectory), directory);
}

} // namespace

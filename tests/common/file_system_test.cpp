#include "common/file_system.h"

#include "common/error_texts.h"
#include "common/file.h"
#include "common/last_error.h"
#include "common/path.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(FileSystem, TellsFilesFromDirectories) {
    TempDir dir;
    const std::string file = dir.WriteFile("a.txt", "abc");
    EXPECT_TRUE(DirectoryExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(DirectoryExists(dir / "missing"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DirectoryExists(""));
}

TEST(FileSystem, PathsBeyondTheLimitAreSimplyAbsent) {
    TempDir dir;
    const std::string longPath = BuildPath(dir.path(), std::string(3 * kMaxPath, 'x'), "txt");
    EXPECT_FALSE(FileExists(longPath));
    EXPECT_FALSE(DirectoryExists(longPath));
    CalendarTime time;
    EXPECT_FALSE(GetFileLocalTime(longPath, time));
    std::uint32_t size = 1;
    EXPECT_FALSE(GetFileSizeLow(longPath, size));
    EXPECT_EQ(size, 0u);
    std::string error;
    EXPECT_FALSE(CreateDirectoryTree(longPath, &error));
    EXPECT_EQ(error.rfind("!Error: Unable to create directory '", 0), 0u) << error;
}

TEST(ListDirectory, GivesEveryNameButTheDotsAndFailsWithTheLastError) {
    TempDir dir;
    dir.WriteFile("b.txt", "");
    dir.WriteFile("a.txt", "");
    std::filesystem::create_directory(dir / "sub");
    std::vector<std::string> names = {"stale"};
    ASSERT_TRUE(ListDirectory(dir.path(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt", "sub"}));
    EXPECT_EQ(CountDirectoryEntries(dir.path()), 3);
    ASSERT_TRUE(ListDirectory(dir / "sub", names));
    EXPECT_TRUE(names.empty());
    for (const std::string& unreadable : {dir / "missing", dir / "a.txt"}) {
        SetLastErrorCode(kErrorSuccess);
        EXPECT_FALSE(ListDirectory(unreadable, names)) << unreadable;
        EXPECT_NE(GetLastErrorCode(), kErrorSuccess) << unreadable;
        EXPECT_EQ(CountDirectoryEntries(unreadable), -1) << unreadable;
    }
}

TEST(CreateDirectoryTree, CreatesEveryMissingLevel) {
    TempDir dir;
    const std::string deep = BuildPath(dir / "one", BuildPath("two", "three", nullptr), nullptr);
    std::string error = "untouched";
    EXPECT_TRUE(CreateDirectoryTree(deep, &error));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_EQ(error, "untouched");

    // Existing directories succeed again; a trailing separator is accepted.
    EXPECT_TRUE(CreateDirectoryTree(deep, &error));
    const std::string trailing = BuildPath(dir / "four", "five", nullptr) + PathSeparator();
    EXPECT_TRUE(CreateDirectoryTree(trailing, nullptr));
    EXPECT_TRUE(DirectoryExists(BuildPath(dir / "four", "five", nullptr)));
}

TEST(CreateDirectoryTree, NamesTheLevelThatFailedAndKeepsTheOnesBefore) {
    TempDir dir;
    const std::string first = dir / "first";
    const std::string second = BuildPath(first, "second", nullptr);
    const std::string third = BuildPath(second, "third", nullptr);
    ASSERT_TRUE(CreateDirectoryTree(second));
    // A file where the third level should go makes it impossible to create.
    CFile blocker;
    ASSERT_TRUE(blocker.Create(third));
    blocker.Close();

    std::string error;
    EXPECT_FALSE(CreateDirectoryTree(BuildPath(third, "fourth", nullptr), &error));
    EXPECT_TRUE(DirectoryExists(first));
    EXPECT_TRUE(DirectoryExists(second));
    EXPECT_EQ(error,
              "!Error: Unable to create directory '" + third + "' (" + SystemErrorText(kErrorAlreadyExists) + ")");

    EXPECT_FALSE(CreateDirectoryTreeUnc(BuildPath(third, "fourth", nullptr), &error));
    EXPECT_EQ(error,
              "!Error: Unable to create directory '" + third + "' (" + FormatSystemMessage(kErrorAlreadyExists) + ")");
    EXPECT_FALSE(CreateDirectoryTree(third, nullptr));
}

TEST(CreateDirectoryTree, ASingleComponentIsCreatedInTheCurrentDirectory) {
    TempDir dir;
    const std::string previous = GetCurrentDirectoryPath();
    std::filesystem::current_path(dir.path());
    EXPECT_TRUE(CreateDirectoryTree("single"));
    std::filesystem::current_path(previous);
    EXPECT_TRUE(DirectoryExists(dir / "single"));
}

TEST(DirectoryExistsUnc, TreatsTheClientShareAsExisting) {
    const std::string sep(1, PathSeparator());
    EXPECT_TRUE(DirectoryExistsUnc(sep + sep + "client"));
    EXPECT_TRUE(DirectoryExistsUnc(sep + sep + "CLIENT" + sep));
    EXPECT_TRUE(DirectoryExistsUnc(sep + sep + "Client" + sep + "C$"));
    EXPECT_FALSE(DirectoryExistsUnc(sep + sep + "client" + sep + "C$" + sep + "dir"));
    EXPECT_FALSE(DirectoryExistsUnc(sep + sep + "server" + sep + "share"));
    TempDir dir;
    EXPECT_TRUE(DirectoryExistsUnc(dir.path()));
}

TEST(FileSystem, ReportsSizeAndLocalTimeOfFiles) {
    TempDir dir;
    const std::string path = dir.WriteFile("sized.bin", std::string(12345, 'z'));
    std::uint32_t size = 0;
    EXPECT_TRUE(GetFileSizeLow(path, size));
    EXPECT_EQ(size, 12345u);

    const CalendarTime stamp{2019, 7, 0, 14, 8, 30, 15, 0};
    std::string error;
    ASSERT_TRUE(TouchFile(path, &stamp, &error)) << error;
    CalendarTime read;
    ASSERT_TRUE(GetFileLocalTime(path, read));
    EXPECT_EQ(read.year, 2019);
    EXPECT_EQ(read.month, 7);
    EXPECT_EQ(read.day, 14);
    EXPECT_EQ(read.hour, 8);
    EXPECT_EQ(read.minute, 30);
    EXPECT_EQ(read.second, 15);

    read.year = 1;
    EXPECT_FALSE(GetFileLocalTime(dir / "missing", read));
    EXPECT_EQ(read.year, 0);
    EXPECT_EQ(read.second, 0);
}

TEST(TouchFile, SetsNowWithoutATimeAndReportsEachFailingStep) {
    TempDir dir;
    const std::string path = dir.WriteFile("touched.txt", "t");
    const CalendarTime old{2001, 1, 0, 1, 0, 0, 0, 0};
    ASSERT_TRUE(TouchFile(path, &old));
    ASSERT_TRUE(TouchFile(path));
    CalendarTime read;
    ASSERT_TRUE(GetFileLocalTime(path, read));
    EXPECT_GE(read.year, 2024);

    std::string error;
    EXPECT_FALSE(TouchFile(dir / "missing.txt", nullptr, &error));
    EXPECT_EQ(error, std::string("Open: ") + SystemErrorText(kErrorFileNotFound));
    EXPECT_FALSE(FileExists(dir / "missing.txt"));

    const CalendarTime impossible{2020, 14, 0, 40, 0, 0, 0, 0};
    EXPECT_FALSE(TouchFile(path, &impossible, &error));
    EXPECT_EQ(error.rfind("SetFileTime: ", 0), 0u) << error;
}

TEST(CopyFileContents, CopiesWholeFilesInBlocks) {
    TempDir dir;
    std::string content;
    for (int i = 0; i < 10000; ++i) content += static_cast<char>(i * 7 + i / 256);
    const std::string source = dir.WriteFile("source.bin", content);
    EXPECT_TRUE(CopyFileContents(source, dir / "copy.bin"));
    EXPECT_EQ(ReadWholeFile(dir / "copy.bin"), content);

    dir.WriteFile("empty.bin", "");
    EXPECT_TRUE(CopyFileContents(dir / "empty.bin", dir / "copy.bin"));
    EXPECT_EQ(ReadWholeFile(dir / "copy.bin"), "");

    EXPECT_FALSE(CopyFileContents(dir / "missing.bin", dir / "copy2.bin"));
    EXPECT_FALSE(FileExists(dir / "copy2.bin"));
    EXPECT_FALSE(CopyFileContents(source, BuildPath(dir / "missing-dir", "x", nullptr)));
}

TEST(CopyFileContents, RefusesToCopyAFileOntoItself) {
    TempDir dir;
    const std::string path = dir.WriteFile("self.bin", "keep me");
    EXPECT_FALSE(CopyFileContents(path, path));
    EXPECT_EQ(ReadWholeFile(path), "keep me");
}

TEST(CopyFileContents, AFullDiskFailsAndTheSourceStays) {
    TempDir dir;
    const std::string source = dir.WriteFile("big.bin", std::string(20000, 'b'));
    InjectFileFault(FileOperation::Write, 3, kErrorDiskFull);
    EXPECT_FALSE(CopyFileContents(source, dir / "partial.bin"));
    EXPECT_EQ(GetLastErrorCode(), kErrorDiskFull);
    ClearFileFaults();
    EXPECT_EQ(ReadWholeFile(source), std::string(20000, 'b'));
}

} // namespace

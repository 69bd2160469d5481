#include "common/system_info.h"

#include "common/file_system.h"
#include "common/path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(SystemInfo, NamesTheRunningProgram) {
    const std::string path = GetModulePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(GetModuleFileNameOnly(), GetPathPart(path, kPathFileName));
    EXPECT_EQ(GetModuleFileNameOnly().rfind("common_tests", 0), 0u);
    EXPECT_STREQ(GetModuleBaseName(), "common_tests");
    EXPECT_EQ(GetModuleDirectory(), GetPathPart(path, kPathDirectory));
    EXPECT_TRUE(DirectoryExists(GetModuleDirectory()));
}

TEST(SystemInfo, TemporaryNamesAreFixedPerPrefix) {
    const std::string directory = GetTempDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), PathSeparator());
    EXPECT_TRUE(DirectoryExists(directory.substr(0, directory.size() - 1)));

    const std::string first = GetTempFilePath("~Com");
    EXPECT_EQ(first, GetTempFilePath("~Com"));
    EXPECT_EQ(GetPathPart(first, kPathDirectory) + PathSeparator(), directory);
    const std::string name = GetPathPart(first, kPathFileName);
    EXPECT_EQ(name.substr(0, 4), "~Co1");
    EXPECT_EQ(GetPathPart(name, kPathExtension).size(), 3u); // ".tmp", in whatever case the platform uses
    const std::string unused = GetTempFilePath("~Zq");
    std::remove(unused.c_str());
    EXPECT_FALSE(FileExists(GetTempFilePath("~Zq"))); // the call itself creates nothing
    EXPECT_NE(GetTempFilePath("ab"), first);
    EXPECT_FALSE(GetTempFilePath(nullptr).empty());
}

TEST(SystemInfo, ReportsCurrentDirectoryAndComputerName) {
    EXPECT_TRUE(DirectoryExists(GetCurrentDirectoryPath()));
    EXPECT_FALSE(GetComputerNameString().empty());
}

} // namespace

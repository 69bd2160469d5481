// Directories as build inputs: the order of their files, links, and names
// that only the walk of a directory can meet.
#include "common/path.h"
#include "tests/common/temp_dir.h"
#include "tools/zorpack/input_files.h"
#include "tools/zorpack/input_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace zorpack;

namespace {

// Writes files at paths given with "/" below dir, folders made as needed.
void WriteTree(const TempDir& dir, std::initializer_list<const char*> files) {
    for (const char* file : files) {
        std::filesystem::create_directories(std::filesystem::path(dir / WithNativeSeparators(file)).parent_path());
        dir.WriteFile(WithNativeSeparators(file), file);
    }
}

std::vector<std::string> StoredNames(const std::string& directory) {
    std::vector<TreeFile> found;
    std::string problem;
    if (!ListTreeFiles(directory, found, problem)) return {"refused: " + problem};
    std::vector<std::string> names;
    for (const TreeFile& file : found) names.push_back(file.name);
    return names;
}

TEST(InputTree, FilesComeBeforeFoldersEachInByteOrderAndEmptyFoldersAreLeftOut) {
    TempDir dir;
    WriteTree(dir, {"app/b.txt", "app/a.txt", "app/Z.txt", "app/\xC3\xA9t\xC3\xA9.txt", "app/sub/x.txt",
                    "app/sub/a.txt", "app/Sub2/y/z.txt"});
    std::filesystem::create_directories(dir / WithNativeSeparators("app/empty/emptier"));
    EXPECT_EQ(StoredNames(dir / "app"),
              (std::vector<std::string>{"app\\Z.txt", "app\\a.txt", "app\\b.txt", "app\\\xC3\xA9t\xC3\xA9.txt",
                                        "app\\Sub2\\y\\z.txt", "app\\sub\\a.txt", "app\\sub\\x.txt"}));
    EXPECT_EQ(StoredNames(BuildPath(dir / "app", "sub", nullptr) + PathSeparator()),
              (std::vector<std::string>{"a.txt", "x.txt"}));
}

#ifndef _WIN32
TEST(InputTree, LinksAreFollowedLikeLinksGivenDirectly) {
    TempDir dir;
    WriteTree(dir, {"app/a.txt", "elsewhere/b.txt", "target.txt"});
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "app/linked").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "target.txt").c_str(), (dir / "app/file-link.txt").c_str()), 0);
    EXPECT_EQ(StoredNames(dir / "app"),
              (std::vector<std::string>{"app\\a.txt", "app\\file-link.txt", "app\\linked\\b.txt"}));
}

// A Linux name may hold what Windows cannot: a backslash, which the installer
// would read as a folder, or a colon in a folder's name.
TEST(InputTree, NamesOnlyAWalkMeetsAreRefused) {
    TempDir dir;
    WriteTree(dir, {"app/a\\b.txt", "bad/x:y/c.txt"});
    std::vector<InputFile> files;
    std::string error;
    ASSERT_TRUE(ExamineInputFiles({dir / "app"}, files, error)) << error;
    EXPECT_EQ(CheckFileNames(files),
              "the input file '" + (dir / "app/a\\b.txt") + "' cannot be installed: its name contains '\\'");
    EXPECT_EQ(StoredNames(dir / "bad"), std::vector<std::string>{"refused: the directory '" + (dir / "bad/x:y") +
                                                                 "' cannot be installed: its name contains ':'"});
}
#endif

} // namespace

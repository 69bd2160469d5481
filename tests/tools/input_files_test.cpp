#include "common/path.h"
#include "tests/common/temp_dir.h"
#include "tools/zorpack/input_files.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zorpack;

namespace {

// Files as ExamineInputFiles describes them: paths written with "/", which
// separates in the build's own style here.
std::vector<InputFile> Files(std::initializer_list<std::string> paths) {
    std::vector<InputFile> files;
    for (const std::string& path : paths)
        files.push_back({WithNativeSeparators(path), path.substr(path.rfind('/') + 1), 1, {}, {}});
    return files;
}

TEST(InputFiles, ListFilesAreExpandedInPlace) {
    TempDir dir;
    // A byte-order mark, comments, blank lines and trailing blanks are no names.
    const std::string list = dir.WriteFile("files.txt", "\xEF\xBB\xBFone.txt\r\n\r\n  \n# a comment\n  #indented\n"
                                                        "two words.txt \t\r\n@three.txt\n caf\xC3\xA9.txt\nlast.txt");
    const std::string empty = dir.WriteFile("empty.txt", "");
    std::vector<std::string> paths;
    std::string error;
    ASSERT_TRUE(ExpandInputList({"first.exe", "@" + list, "@" + empty, "after.dll"}, paths, error)) << error;
    EXPECT_EQ(paths, (std::vector<std::string>{"first.exe", "one.txt", "two words.txt", "@three.txt",
                                               " caf\xC3\xA9.txt", "last.txt", "after.dll"}));
}

TEST(InputFiles, ALoneAtSignIsAFileName) {
    std::vector<std::string> paths;
    std::string error;
    ASSERT_TRUE(ExpandInputList({"@"}, paths, error)) << error;
    EXPECT_EQ(paths, std::vector<std::string>{"@"});
}

TEST(InputFiles, MissingListFileIsNamed) {
    TempDir dir;
    std::vector<std::string> paths;
    std::string error;
    EXPECT_FALSE(ExpandInputList({"a.exe", "@" + (dir / "missing.txt")}, paths, error));
    EXPECT_EQ(error.rfind("cannot read the list file '" + (dir / "missing.txt") + "': ", 0), 0u) << error;
}

TEST(InputFiles, SizesAndNames) {
    TempDir dir;
    const std::string app = dir.WriteFile("App.exe", std::string(1000, 'x'));
    const std::string empty = dir.WriteFile("empty.dat", "");
    std::vector<InputFile> files;
    std::string error;
    ASSERT_TRUE(ExamineInputFiles({app, empty}, files, error)) << error;
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].path, app);
    EXPECT_EQ(files[0].name, "App.exe");
    EXPECT_EQ(files[0].size, 1000u);
    EXPECT_EQ(files[1].name, "empty.dat");
    EXPECT_EQ(files[1].size, 0u);
}

TEST(InputFiles, MissingFileIsNamed) {
    TempDir dir;
    const std::string app = dir.WriteFile("App.exe", "x");
    std::vector<InputFile> files;
    std::string error;
    EXPECT_FALSE(ExamineInputFiles({app, dir / "gone.dll"}, files, error));
    EXPECT_EQ(error.rfind("cannot read the input file '" + (dir / "gone.dll") + "': ", 0), 0u) << error;
}

TEST(InputFiles, IdentitiesTellFilesApartWhateverTheirPath) {
    TempDir dir;
    const std::string app = dir.WriteFile("App.exe", "x");
    const std::string other = dir.WriteFile("other.dll", "y");
    const std::string sameFile = BuildPath(BuildPath(dir.path(), ".", nullptr), "App.exe", nullptr);
    std::vector<InputFile> files;
    std::string error;
    ASSERT_TRUE(ExamineInputFiles({app, other, sameFile}, files, error)) << error;
    EXPECT_NE(files[0].identity, files[1].identity);
    EXPECT_EQ(files[0].identity, files[2].identity);
}

// Sparse files: the sizes are real, the disk space is not used.
TEST(InputFiles, FourGibibytesAreOneByteTooMany) {
    TempDir dir;
    const std::string largest = dir / "largest.bin";
    const std::string tooLarge = dir / "too-large.bin";
    std::ofstream(largest).close();
    std::ofstream(tooLarge).close();
    std::error_code failed;
    std::filesystem::resize_file(largest, 0xFFFFFFFFull, failed);
    if (!failed) std::filesystem::resize_file(tooLarge, 0x100000000ull, failed);
    if (failed) GTEST_SKIP() << "no sparse files here: " << failed.message();
    std::vector<InputFile> files;
    std::string error;
    ASSERT_TRUE(ExamineInputFiles({largest}, files, error)) << error;
    EXPECT_EQ(files[0].size, 0xFFFFFFFFu);
    EXPECT_FALSE(ExamineInputFiles({largest, tooLarge}, files, error));
    EXPECT_EQ(error,
              "the input file '" + tooLarge + "' has 4294967296 bytes; an installer holds only files below 4 GiB");
}

TEST(InputFiles, DuplicateNamesIgnoreLetterCaseOnEveryPlatform) {
    EXPECT_EQ(FindDuplicateNames(Files({"a/App.exe", "b/lib.dll", "c/readme.txt"})), "");
    EXPECT_EQ(FindDuplicateNames(Files({"a/App.exe", "b/lib.dll", "c/App.exe", "d/lib.dll"})),
              "duplicate file name: '" + WithNativeSeparators("a/App.exe") + "' and '" +
                  WithNativeSeparators("c/App.exe") +
                  "' would both install as 'App.exe' (--allow-duplicates stores both)");
    // The installer creates them on Windows, where these are one file.
    EXPECT_EQ(FindDuplicateNames(Files({"a/ReadMe.txt", "b/README.TXT"})),
              "duplicate file name: '" + WithNativeSeparators("a/ReadMe.txt") + "' and '" +
                  WithNativeSeparators("b/README.TXT") +
                  "' would both install as 'README.TXT' (--allow-duplicates stores both)");
    EXPECT_NE(FindDuplicateNames(Files({"a/caf\xC3\xA9.txt", "b/CAF\xC3\x89.TXT"})), "");
    EXPECT_EQ(FindDuplicateNames({}), "");
}

TEST(InputFiles, NamesWindowsCannotCreate) {
    EXPECT_EQ(CheckFileNames(Files({"a/App.exe", "b/lib.dll"})), "");
    std::vector<InputFile> files = Files({"App.exe", "aux.txt"});
    EXPECT_EQ(CheckFileNames(files), "the input file 'aux.txt' cannot be installed: its name is a device name");
    files = Files({"dir/a:b"});
    EXPECT_EQ(CheckFileNames(files),
              "the input file '" + files[0].path + "' cannot be installed: its name contains ':'");
    files = Files({"dir/caf\xE9"});
    EXPECT_EQ(CheckFileNames(files),
              "the input file '" + files[0].path + "' cannot be installed: its name is not valid UTF-8");
}

// The stored name is what counts: a top-level uninstall.exe in any case.
TEST(InputFiles, AFileWhereTheUninstallerGoes) {
    const struct {
        const char* path;
        const char* name;
        bool clash;
    } cases[] = {
        {"a/uninstall.exe", "uninstall.exe", true},
        {"a/UNINSTALL.EXE", "UNINSTALL.EXE", true},
        {"tree/bin/uninstall.exe", "bin\\uninstall.exe", false},
        {"a/uninstall.exe.bak", "uninstall.exe.bak", false},
        {"a/uninstaller.exe", "uninstaller.exe", false},
    };
    for (const auto& c : cases) {
        std::vector<InputFile> files = Files({"a/App.exe", c.path});
        files[1].name = c.name;
        const std::string error = FindUninstallerClash(files, false);
        if (!c.clash) {
            EXPECT_EQ(error, "") << c.path;
            continue;
        }
        EXPECT_EQ(error, "the input file '" + files[1].path + "' would install as '" + c.name +
                             "', where the installation writes its uninstaller (--uninstaller, --uninstall-key); "
                             "store it in a folder or rename it");
    }
    // The record of a carried uninstaller is reserved only with one.
    std::vector<InputFile> files = Files({"a/App.exe", "a/Uninstall.dat"});
    files[1].name = "Uninstall.dat";
    EXPECT_EQ(FindUninstallerClash(files, false), "");
    EXPECT_EQ(FindUninstallerClash(files, true),
              "the input file '" + files[1].path +
                  "' would install as 'Uninstall.dat', where the installation writes the record of its signed "
                  "uninstaller (--sign-command); store it in a folder or rename it");
}

} // namespace

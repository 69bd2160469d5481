// The built zorpack program given directories: "DIR" stores the directory
// under its own name, "DIR/" what it holds, list files may name either; the
// installers then list, verify and extract their folders.
#include "archive/entry_name.h"
#include "archive/installer_archive.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "tests/common/temp_dir.h"
#include "tests/support/fake_stub.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

class ZorpackTree : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, content] : kTree) Write("tree/" + name, content);
        std::filesystem::create_directories(Path("tree/empty/emptier"));
    }

    CapturedRun Zorpack(const std::vector<std::string>& arguments) {
        return RunCaptured(ProgramBesideTests("zorpack"), arguments, scratch_.path());
    }
    CapturedRun Build(const std::vector<std::string>& inputs) {
        std::vector<std::string> line = {"build", "-o", setup_, "--name", "Tree", "--version", "1", "--stub", stub_};
        line.insert(line.end(), inputs.begin(), inputs.end());
        return Zorpack(line);
    }

    // A path below the test's directory, written with "/".
    std::string Path(const std::string& relative) const { return dir_ / WithNativeSeparators(relative); }
    void Write(const std::string& relative, const std::string& content) const {
        std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
        dir_.WriteFile(WithNativeSeparators(relative), content);
    }

    std::vector<std::string> StoredNames() const {
        InstallerArchive archive;
        archive.SetFilePath(setup_);
        EXPECT_TRUE(archive.LoadInstaller());
        std::vector<std::string> names;
        for (const ArchiveEntry& entry : archive.GetEntries()) names.push_back(entry.name);
        return names;
    }

    // The tree, by path below "tree" and content, in the order a build of
    // "tree/" stores it: a folder's files, then its folders, by byte order.
    const std::vector<std::pair<std::string, std::string>> kTree = {
        {"README.txt", "top"},
        {"bin/hello.exe", "MZ hello"},
        {"bin/readme.txt", "bin read-me"},
        {"doc/en/guide.txt", "guide"},
        {"doc/en/readme.txt", "English"},
        {"doc/fr/readme.txt", "fran\xC3\xA7"
                              "ais"},
    };
    std::vector<std::string> TreeNames(const std::string& prefix) const {
        std::vector<std::string> names;
        for (const auto& entry : kTree) {
            std::string name = prefix + entry.first;
            std::replace(name.begin(), name.end(), '/', kEntrySeparator);
            names.push_back(name);
        }
        return names;
    }

    TempDir dir_;
    TempDir scratch_;
    const std::string stub_ = dir_.WriteFile("stub.bin", FakeStubImage(4096));
    const std::string setup_ = dir_ / "Setup.exe";
};

TEST_F(ZorpackTree, ADirectoryOrItsContentRoundTrips) {
    const struct {
        std::string input;
        const char* prefix;
    } cases[] = {{Path("tree"), "tree/"}, {Path("tree") + "/", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const CapturedRun built = Build({c.input});
        ASSERT_EQ(built.exitCode, 0) << built.err;
        EXPECT_EQ(built.out.rfind(setup_ + ": 6 files, ", 0), 0u) << built.out;
        EXPECT_EQ(StoredNames(), TreeNames(c.prefix));

        const CapturedRun listed = Zorpack({"list", setup_});
        ASSERT_EQ(listed.exitCode, 0) << listed.err;
        for (const std::string& name : TreeNames(c.prefix))
            EXPECT_NE(listed.out.find("  " + name + "\n"), std::string::npos) << name << "\n" << listed.out;
        const CapturedRun verified = Zorpack({"verify", setup_});
        EXPECT_EQ(verified.exitCode, 0) << verified.err;

        const std::string out = dir_ / "out";
        std::filesystem::remove_all(out);
        const CapturedRun extracted = Zorpack({"extract", setup_, out});
        ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
        for (const auto& [name, content] : kTree) {
            const std::string source = Path("tree/" + name);
            const std::string copy = BuildPath(out, WithNativeSeparators(c.prefix + name), nullptr);
            EXPECT_EQ(ReadWholeFile(copy), content) << copy;
            FileDetails sourceDetails, copyDetails;
            ASSERT_TRUE(GetFileDetails(source, sourceDetails));
            ASSERT_TRUE(GetFileDetails(copy, copyDetails)) << copy;
            EXPECT_EQ(copyDetails.times.lastWrite, sourceDetails.times.lastWrite) << copy;
        }
        // The empty folders are not stored, so not made.
        EXPECT_FALSE(DirectoryExists(BuildPath(out, WithNativeSeparators(std::string(c.prefix) + "empty"), nullptr)));
    }
}

TEST_F(ZorpackTree, AListFileNamesDirectoriesBothWays) {
    const std::string list =
        dir_.WriteFile("files.lst", "# the executable's folder first\r\n" + Path("tree/bin") + "\r\n" +
                                        Path("tree/doc") + "/ \r\n" + Path("tree/README.txt") + "\r\n");
    const CapturedRun built = Build({"@" + list});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"bin\\hello.exe", "bin\\readme.txt", "en\\guide.txt",
                                                       "en\\readme.txt", "fr\\readme.txt", "README.txt"}));
    EXPECT_EQ(Zorpack({"verify", setup_}).exitCode, 0);
}

// A plain file keeps storing its file-name part, wherever it lies; the same
// name in another folder is another entry.
TEST_F(ZorpackTree, PlainFilesAndFoldersTogether) {
    const CapturedRun built = Build({Path("tree/bin/hello.exe"), Path("tree/doc")});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"hello.exe", "doc\\en\\guide.txt", "doc\\en\\readme.txt",
                                                       "doc\\fr\\readme.txt"}));
    // Named a second time through its folder's content: the same name twice.
    const CapturedRun clash = Build({Path("tree/bin/hello.exe"), Path("tree/bin") + "/"});
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_EQ(clash.err, "zorpack: duplicate file name: '" + Path("tree/bin/hello.exe") + "' and '" +
                             Path("tree/bin/hello.exe") +
                             "' would both install as 'hello.exe' (--allow-duplicates stores both)\n");
}

// The main executable in a folder of a tree: "--main" makes it the first
// entry, whatever the walk's order, and keeps the others in theirs.
TEST_F(ZorpackTree, MainNamesTheExecutableInAFolder) {
    const CapturedRun built = Build({"--main", "tree/BIN/hello.exe", Path("tree")});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    std::vector<std::string> expected = TreeNames("tree/");
    std::rotate(expected.begin(), expected.begin() + 1, expected.begin() + 2); // README.txt after bin\hello.exe
    EXPECT_EQ(StoredNames(), expected);
    const CapturedRun missing = Build({"--main", "tree\\hello.exe", Path("tree")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "zorpack: --main names 'tree\\hello.exe', which is not the stored name of any input file "
                           "(first: 'tree\\README.txt')\n");
}

TEST_F(ZorpackTree, EmptyDirectoriesGiveNoInput) {
    const CapturedRun run = Build({Path("tree/empty")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "zorpack: no input files: the directories given hold none\n");
    EXPECT_FALSE(FileExists(setup_));
}

TEST_F(ZorpackTree, ADirectoryNamedWithoutAStorableName) {
    const std::string dot = BuildPath(Path("tree/bin"), ".", nullptr);
    const CapturedRun refused = Build({dot});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("name it '" + dot + PathSeparator() + "' to store what it holds"), std::string::npos)
        << refused.err;
    EXPECT_EQ(Build({dot + PathSeparator()}).exitCode, 0);
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"hello.exe", "readme.txt"}));
}

#ifndef _WIN32
// (Windows cannot even read a file whose path is that long.)
TEST_F(ZorpackTree, AStoredNameBeyondTheLimitIsRefused) {
    const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
    Write("tree/" + deep + "/" + std::string(20, 'f'), "deep");
    const CapturedRun run = Build({Path("tree")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("': that name is longer than 255 bytes\n"), std::string::npos) << run.err;
    EXPECT_FALSE(FileExists(setup_));
}

// Only a file system that tells letter case apart holds these trees; the
// installer would create them on Windows, where it does not.
TEST_F(ZorpackTree, NamesDifferingOnlyInCaseConflict) {
    Write("tree/doc/EN/readme.txt", "another");
    const CapturedRun duplicate = Build({Path("tree")});
    EXPECT_EQ(duplicate.exitCode, 1);
    EXPECT_EQ(duplicate.err, "zorpack: duplicate file name: '" + Path("tree/doc/EN/readme.txt") + "' and '" +
                                 Path("tree/doc/en/readme.txt") +
                                 "' would both install as 'tree\\doc\\en\\readme.txt' (--allow-duplicates stores "
                                 "both)\n");
    EXPECT_EQ(Build({"--allow-duplicates", Path("tree")}).exitCode, 0);

    std::filesystem::remove_all(Path("tree/doc/EN"));
    Write("tree/DOC", "a file named like a folder");
    const CapturedRun clash = Build({"--allow-duplicates", Path("tree")});
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_EQ(clash.err, "zorpack: '" + Path("tree/DOC") + "' would install as 'tree\\DOC', a file where '" +
                             Path("tree/doc/en/guide.txt") + "' needs a folder of that name\n");
}

TEST_F(ZorpackTree, ALinkCycleIsRefused) {
    ASSERT_EQ(::symlink("..", Path("tree/doc/up").c_str()), 0);
    const CapturedRun run = Build({Path("tree")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "zorpack: the directory '" + Path("tree/doc/up") + "' is '" + Path("tree") +
                           "' again, which contains it: a link makes a cycle\n");
    EXPECT_FALSE(FileExists(setup_));
}
#endif

} // namespace

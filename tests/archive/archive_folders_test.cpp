// Entries whose names have folders ("doc\en\readme.txt"): built, loaded,
// extracted below their folders and verified; hostile names refused before
// anything is written.
#include "archive_test_support.h"

#include "archive/entry_name.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/string_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Three levels, the first entry (the main executable) in a folder, and files
// of one name in several folders.
const std::vector<SourceFile> kTree = {
    {"bin\\hello.exe", "MZ the program"},       {"readme.txt", "top read-me"},
    {"bin\\readme.txt", "read-me of bin"},      {"doc\\readme.txt", "read-me of doc"},
    {"doc\\en\\readme.txt", "English read-me"}, {"doc\\en\\guide.html", std::string(100000, 'g')},
    {"doc\\fr\\readme.txt", "lisez-moi"},       {"doc\\fr\\empty.txt", ""},
};

class FoldersTest : public ::testing::Test {
protected:
    // Loads dir/Setup.exe into a fresh archive that reports to recorder.
    InstallerArchive& Load() {
        archive = std::make_unique<InstallerArchive>();
        recorder.lines.clear();
        recorder.Attach(*archive);
        archive->SetFilePath(dir / "Setup.exe");
        EXPECT_TRUE(archive->LoadInstaller());
        return *archive;
    }

    // The installer of kTree with the name of entry index replaced.
    void CraftName(std::size_t index, const std::string& name) {
        const std::string setup = BuildInstaller(dir, kTree, false);
        dir.WriteFile("Setup.exe", WithEntryName(ReadWholeFile(setup), index, name));
    }

    TempDir dir;
    std::string out = dir / "out";
    LineRecorder recorder;
    std::unique_ptr<InstallerArchive> archive;
};

// Distinct times for each source, apart from each other and from now.
FileTimes SourceTimes(std::size_t index) {
    const std::uint64_t base = 130000000000000000ull + index * 1000000000ull;
    return {FileTime::FromTicks(base), FileTime::FromTicks(base + 20000000), FileTime::FromTicks(base + 40000000)};
}

TEST_F(FoldersTest, AThreeLevelTreeRoundTrips) {
    for (bool compress : {true, false}) {
        SCOPED_TRACE(compress ? "compressed" : "stored");
        BuildInstaller(dir, kTree, compress);
        for (std::size_t i = 0; i < kTree.size(); ++i) {
            CFile source;
            const FileTimes times = SourceTimes(i);
            ASSERT_TRUE(source.Open(BuildPath(dir / "src", NativeEntryPath(kTree[i].name), nullptr), FileAccess::Write,
                                    FileCreation::OpenExisting, FileShare::DenyNone));
            ASSERT_TRUE(source.SetFileTimes(&times.creation, &times.lastAccess, &times.lastWrite));
        }
        BuildInstaller(dir, kTree, compress, 1000, "", false);

        InstallerArchive& loaded = Load();
        ASSERT_EQ(loaded.GetEntries().size(), kTree.size());
        std::string error;
        EXPECT_TRUE(loaded.VerifyFiles(&error)) << error;
        CreateDirectoryTree(out);
        ASSERT_TRUE(loaded.ExtractFiles(out, &error)) << error;
        for (std::size_t i = 0; i < kTree.size(); ++i) {
            const ArchiveEntry& entry = loaded.GetEntries()[i];
            SCOPED_TRACE(entry.name);
            EXPECT_EQ(entry.name, kTree[i].name);
            // The builder carries the source's times (a platform without a
            // settable creation time reports its last-write time for it)...
            FileDetails source;
            ASSERT_TRUE(GetFileDetails(BuildPath(dir / "src", NativeEntryPath(entry.name), nullptr), source));
            EXPECT_EQ(entry.creationTime, source.times.creation);
            EXPECT_EQ(entry.lastAccessTime, SourceTimes(i).lastAccess);
            EXPECT_EQ(entry.lastWriteTime, SourceTimes(i).lastWrite);
            // ... and extraction puts them back, read before the content is.
            const std::string extracted = BuildPath(out, NativeEntryPath(entry.name), nullptr);
            FileDetails details;
            ASSERT_TRUE(GetFileDetails(extracted, details));
            EXPECT_EQ(details.times.lastAccess, entry.lastAccessTime);
            EXPECT_EQ(details.times.lastWrite, entry.lastWriteTime);
            EXPECT_EQ(ReadWholeFile(extracted), kTree[i].content);
            std::uint8_t digest[kMd5DigestSize];
            ASSERT_TRUE(loaded.ComputeFileMD5(extracted, digest));
            EXPECT_EQ(std::memcmp(digest, entry.md5, sizeof digest), 0);
        }
        // The files and their folders, nothing else.
        std::vector<std::string> expected = {"bin", "doc", NativeEntryPath("doc\\en"), NativeEntryPath("doc\\fr")};
        for (const SourceFile& file : kTree) expected.push_back(NativeEntryPath(file.name));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ListFiles(out), expected);
    }
}

TEST_F(FoldersTest, HostileNamesAreRefusedBeforeAnythingIsWritten) {
    const char* names[] = {"..\\x",  "a\\..\\x", "\\x",    "\\\\server\\share\\x",
                           "C:\\x",  "C:x",      "a\\\\b", "a/b",
                           "con\\x", "a\\nul",   "a.\\x",  "a\\b ",
                           "doc\\",  "..",       "",       "a\\..\\..\\..\\x"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        // The middle entry: the ones before it would be written first.
        CraftName(3, name);
        CreateDirectoryTree(out);
        const std::vector<std::string> before = ListFiles(dir.path());
        const std::string refusal = "!Error: Invalid file name '" + std::string(name) + "' in the archive.";

        InstallerArchive& loaded = Load();
        EXPECT_FALSE(loaded.ExtractFiles(out));
        EXPECT_TRUE(recorder.Contains(refusal));
        EXPECT_EQ(ListFiles(dir.path()), before);
        recorder.lines.clear();
        EXPECT_FALSE(loaded.VerifyFiles());
        EXPECT_TRUE(recorder.Contains(refusal));
    }
}

TEST_F(FoldersTest, TheBuilderRefusesAWholeNameBeyondTheLimit) {
    const std::string folders = std::string(100, 'a') + "\\" + std::string(100, 'b') + "\\";
    const std::string longest = folders + std::string(kMaxEntryNameBytes - folders.size(), 'c');
    const std::string source = dir.WriteFile("source.txt", "x");
    InstallerArchive builder;
    EXPECT_TRUE(builder.AddFile(source, longest));
    EXPECT_FALSE(builder.AddFile(source, longest + "c"));
    EXPECT_EQ(builder.GetErrorCode(), ZorInstallerError::CannotGetFileInfo);
    // Nor any name that extraction would refuse.
    for (const char* name : {"..\\x", "\\x", "C:\\x", "a\\\\b", ""})
        EXPECT_FALSE(builder.AddFile(source, name)) << name;
    // A plain file keeps its file-name part, a name of one component.
    EXPECT_TRUE(builder.AddFile(source));

    builder.SetExtractorImage(FakeStub());
    builder.SetFilePath(dir / "Setup.exe");
    ASSERT_TRUE(builder.MakeInstaller());
    const std::vector<ArchiveEntry>& entries = Load().GetEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, longest);
    EXPECT_EQ(entries[1].name, "source.txt");
}

// Only a crafted installer holds a file and a folder of one name (zorpack
// refuses to build one): extraction stops where the folder cannot be made.
TEST_F(FoldersTest, AFileInTheWayOfAFolderStopsTheExtraction) {
    InstallerArchive builder;
    builder.SetExtractorImage(FakeStub());
    builder.SetFilePath(dir / "Setup.exe");
    const std::string one = dir.WriteFile("one", "one"), file = dir.WriteFile("file", "a file");
    for (const auto& [source, name] :
         {std::pair{one, "first.txt"}, {file, "doc"}, {one, "doc\\guide.txt"}, {one, "z.txt"}})
        ASSERT_TRUE(builder.AddFile(source, name)) << name;
    ASSERT_TRUE(builder.MakeInstaller());
    CreateDirectoryTree(out);
    EXPECT_FALSE(Load().ExtractFiles(out));
    const std::string folder = BuildPath(out, "doc", nullptr);
    bool reported = false;
    for (const std::string& line : recorder.lines)
        reported = reported || line.rfind("!Error: Unable to create directory '" + folder + "' (", 0) == 0;
    EXPECT_TRUE(reported) << ::testing::PrintToString(recorder.lines);
    EXPECT_EQ(ListFiles(out), (std::vector<std::string>{"doc", "first.txt"}));
    EXPECT_EQ(ReadWholeFile(folder), "a file");
}

} // namespace

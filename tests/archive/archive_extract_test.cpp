#include "archive_test_support.h"

#include "common/file.h"
#include "common/file_system.h"
#include "common/last_error.h"
#include "common/string_format.h"
#include "common/utf8.h"
#include "compress/compressed_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace {

std::string Noise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, '\0');
    for (auto& c : text) c = static_cast<char>(random() % 7 == 0 ? random() : 'a' + random() % 4);
    return text;
}

class ExtractTest : public ::testing::Test {
protected:
    // Loads dir/Setup.exe into archive and extracts it into dir/out.
    bool Extract(std::string* error = nullptr) {
        archive = std::make_unique<InstallerArchive>();
        recorder.lines.clear();
        recorder.Attach(*archive);
        archive->SetFilePath(dir / "Setup.exe");
        EXPECT_TRUE(archive->LoadInstaller());
        CreateDirectoryTree(out);
        return archive->ExtractFiles(out, error);
    }
    std::string Out(const std::string& name) const { return BuildPath(out, name, nullptr); }

    TempDir dir;
    std::string out = dir / "out";
    LineRecorder recorder;
    std::unique_ptr<InstallerArchive> archive;
};

TEST_F(ExtractTest, RestoresContentAndTimesStoredOrCompressed) {
    const std::vector<SourceFile> files = {{"App.exe", Noise(200000, 1)},
                                           {"empty.txt", ""},
                                           {"notes.txt", "hello\r\nworld"},
                                           {"big.bin", Noise(70000, 2)}};
    for (bool compress : {true, false}) {
        SCOPED_TRACE(compress ? "compressed" : "stored");
        BuildInstaller(dir, files, compress);
        // Times the builder must carry over.
        const FileTime old = FileTime::FromTicks(126455968000000000ull);
        for (const SourceFile& file : files) {
            CFile source;
            ASSERT_TRUE(source.Open(BuildPath(dir / "src", file.name, nullptr), FileAccess::Write,
                                    FileCreation::OpenExisting, FileShare::DenyNone));
            ASSERT_TRUE(source.SetFileTimes(&old, &old, &old));
        }
        BuildInstaller(dir, files, compress, 1000, "", false);
        std::string error;
        ASSERT_TRUE(Extract(&error)) << error;
        for (const SourceFile& file : files) {
            CFile extracted;
            ASSERT_TRUE(extracted.OpenForReading(Out(file.name)));
            FileTimes times;
            ASSERT_TRUE(extracted.GetFileTimes(times));
            EXPECT_EQ(times.lastWrite, old) << file.name;
            extracted.Close();
            EXPECT_EQ(ReadWholeFile(Out(file.name)), file.content) << file.name;
        }
    }
}

// Byte counts of each entry as extraction reports them, one list per entry.
struct ByteRecorder {
    static void Record(std::uint64_t written, std::uintptr_t userWord) {
        auto* self = reinterpret_cast<ByteRecorder*>(userWord);
        if (self->counts.empty() || written <= self->counts.back().back()) self->counts.emplace_back();
        self->counts.back().push_back(written);
    }
    std::vector<std::vector<std::uint64_t>> counts;
};

TEST_F(ExtractTest, ReportsTheBytesOfEachEntryAsTheyAreWritten) {
    // Sizes beyond one piece of every copy and chunk loop.
    const std::vector<SourceFile> files = {{"big.bin", Noise(300000, 3)}, {"small.txt", "tiny"}};
    for (bool compress : {true, false}) {
        SCOPED_TRACE(compress ? "compressed" : "stored");
        BuildInstaller(dir, files, compress);
        ByteRecorder bytes;
        archive = std::make_unique<InstallerArchive>();
        archive->SetByteProgressCallback(&ByteRecorder::Record, reinterpret_cast<std::uintptr_t>(&bytes));
        archive->SetFilePath(dir / "Setup.exe");
        ASSERT_TRUE(archive->LoadInstaller());
        CreateDirectoryTree(out);
        ASSERT_TRUE(archive->ExtractFiles(out));
        ASSERT_EQ(bytes.counts.size(), files.size());
        EXPECT_GT(bytes.counts[0].size(), 1u) << "a large entry reports more than once";
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_TRUE(std::is_sorted(bytes.counts[i].begin(), bytes.counts[i].end()));
            EXPECT_EQ(bytes.counts[i].back(), files[i].content.size()) << files[i].name;
        }
    }
}

TEST_F(ExtractTest, AnEmptyArchiveReportsOneLine) {
    BuildInstaller(dir, {});
    ASSERT_TRUE(Extract());
    EXPECT_EQ(recorder.lines.back(), "Extracting files from  '" + dir / "Setup.exe" + "' to '" + out + "'...");
    EXPECT_TRUE(ListFiles(out).empty());
}

TEST_F(ExtractTest, ReplacesExistingFiles) {
    BuildInstaller(dir, {{"App.exe", "new"}});
    CreateDirectoryTree(out);
    dir.WriteFile("out" + std::string(1, PathSeparator()) + "App.exe", "old old old");
    ASSERT_TRUE(Extract());
    EXPECT_EQ(ReadWholeFile(Out("App.exe")), "new");
}

TEST_F(ExtractTest, ABadDigestStopsAtThatEntry) {
    const std::string setup = BuildInstaller(dir, {{"App.exe", "one"}, {"two.txt", "two"}, {"three.txt", "3"}}, false);
    std::string bytes = ReadWholeFile(setup);
    const Layout layout = ReadLayout(bytes);
    bytes[layout.records[1] + 1] ^= 0x01; // the digest of the second entry
    dir.WriteFile("Setup.exe", bytes);
    std::string error;
    EXPECT_FALSE(Extract(&error));
    EXPECT_EQ(error, "!Error LoadInstaller: " + dir / "Setup.exe" +
                         " Extract error ErrorZorInstaller: Unable to extract file.");
    EXPECT_TRUE(recorder.Contains("Bad MD5 sum for '" + Out("two.txt") + "'."));
    // The record holds both lines and the entry they are about.
    const ArchiveFailure& failure = archive->LastFailure();
    EXPECT_EQ(failure.code, ZorInstallerError::CannotExtractFile);
    EXPECT_EQ(failure.line, error);
    EXPECT_EQ(failure.cause, "Bad MD5 sum for '" + Out("two.txt") + "'.");
    EXPECT_EQ(failure.entry, "two.txt");
    EXPECT_EQ(failure.Explanation(), failure.cause + " " + error);
    // The failed file is removed, the earlier one stays, the later one never comes.
    EXPECT_EQ(ListFiles(out), (std::vector<std::string>{"App.exe"}));
}

TEST_F(ExtractTest, AStoredSizeMismatchFailsBeforeCreatingTheFile) {
    const std::string setup = BuildInstaller(dir, {{"App.exe", "program"}}, false);
    std::string bytes = ReadWholeFile(setup);
    SetField32(bytes, ReadLayout(bytes).records[0] + 56, 3);
    dir.WriteFile("Setup.exe", bytes);
    EXPECT_FALSE(Extract());
    EXPECT_TRUE(recorder.Contains("Unable to extract file '" + Out("App.exe") + "' (malformatted toc infos)."));
    EXPECT_TRUE(ListFiles(out).empty());
}

TEST_F(ExtractTest, ADataOffsetAtTheEndReadsAsAnEmptyBlock) {
    for (bool compress : {false, true}) {
        const std::string setup = BuildInstaller(dir, {{"empty.txt", ""}}, compress);
        std::string bytes = ReadWholeFile(setup);
        SetField32(bytes, ReadLayout(bytes).records[0] + 48, static_cast<std::uint32_t>(bytes.size()));
        if (compress) SetField32(bytes, ReadLayout(bytes).records[0] + 56, 0);
        dir.WriteFile("Setup.exe", bytes);
        // Stored: an empty file with the digest of an empty file. Compressed:
        // an empty temporary file has no magic.
        EXPECT_EQ(Extract(), !compress);
    }
    std::string bytes = ReadWholeFile(dir / "Setup.exe");
    SetField32(bytes, ReadLayout(bytes).records[0] + 48, static_cast<std::uint32_t>(bytes.size() + 1));
    dir.WriteFile("Setup.exe", bytes);
    EXPECT_FALSE(Extract());
    EXPECT_TRUE(recorder.Contains("!Erreur: Offset du fichier à extraire non valide."));
}

TEST_F(ExtractTest, RefusesNamesThatLeaveTheDirectoryOrNameADevice) {
    const char* names[] = {"",           ".",         "..",       "..\\evil.txt", "../evil.txt", "sub/evil.txt",
                           "C:evil.txt", "CON",       "con.txt",  "NUL.dat",      "COM1",        "lpt9.log",
                           "AUX ",       "a\x01.txt", "what?.txt"};
    for (const char* name : names) {
        const std::string setup = BuildInstaller(dir, {{"placeholder.txt", "x"}}, false);
        dir.WriteFile("Setup.exe", WithEntryName(ReadWholeFile(setup), 0, name));
        CreateDirectoryTree(out);
        const std::vector<std::string> before = ListFiles(dir.path());

        std::string error;
        EXPECT_FALSE(Extract(&error)) << name;
        EXPECT_TRUE(recorder.Contains("!Error: Invalid file name '" + std::string(name) + "' in the archive.")) << name;
        EXPECT_EQ(ListFiles(dir.path()), before) << name;
    }
}

// A crafted name in the middle of the archive: the entries before it are
// not written either.
TEST_F(ExtractTest, EveryNameIsCheckedBeforeTheFirstFileIsWritten) {
    const std::string setup =
        BuildInstaller(dir, {{"first.txt", "one"}, {"second.txt", "two"}, {"third.txt", "3"}}, false);
    std::string bytes = ReadWholeFile(setup);
    bytes[ReadLayout(bytes).records[2] + 60] = ':'; // "third.txt" becomes ":hird.txt"
    dir.WriteFile("Setup.exe", bytes);
    EXPECT_FALSE(Extract());
    EXPECT_TRUE(recorder.Contains("!Error: Invalid file name ':hird.txt' in the archive."));
    EXPECT_TRUE(ListFiles(out).empty());
}

TEST_F(ExtractTest, ADestinationBeyondThePathLimitWritesNothing) {
    const std::string longName = std::string(120, 'n') + ".txt";
    BuildInstaller(dir, {{"App.exe", "program"}, {longName, "long"}});
    archive = std::make_unique<InstallerArchive>();
    archive->SetFilePath(dir / "Setup.exe");
    ASSERT_TRUE(archive->LoadInstaller());
    // A directory that leaves room for App.exe but not for the long name.
    std::string deep = out;
    while (BuildPath(deep, longName, nullptr).size() < kMaxPath) deep = BuildPath(deep, "d", nullptr);
    EXPECT_EQ(archive->FindTooLongDestination(deep), &archive->GetEntries()[1]);
    EXPECT_EQ(archive->FindTooLongDestination(out), nullptr);

    CreateDirectoryTree(deep);
    recorder.Attach(*archive);
    std::string error;
    EXPECT_FALSE(archive->ExtractFiles(deep, &error));
    EXPECT_TRUE(
        recorder.Contains(StringFormat("!Error: The path of '%s' would be longer than %zu characters: '%s'.",
                                       longName.c_str(), kMaxPath - 1, BuildPath(deep, longName, nullptr).c_str())));
    EXPECT_TRUE(ListFiles(deep).empty()) << "not even the first file";
}

// Windows counts a path in UTF-16 units: a destination of exactly 259 of
// them is within the limit, though its UTF-8 bytes are twice as many.
TEST_F(ExtractTest, APathOfNonAsciiLettersIsMeasuredInUtf16Units) {
    const auto letters = [](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) text += "\xC3\xA9"; // é
        return text;
    };
    // Folders of 100 letters (200 bytes: every file system takes them), then a
    // name that fills the path to kMaxPath - 1 units.
    std::string deep = out;
    while (Utf16Length(deep) + 1 + 125 + 4 < kMaxPath - 1) deep = BuildPath(deep, letters(100), nullptr);
    const std::string name = letters(kMaxPath - 1 - Utf16Length(deep) - 1 - 4) + ".txt";
    ASSERT_EQ(Utf16Length(BuildPath(deep, name, nullptr)), kMaxPath - 1);
    ASSERT_GT(BuildPath(deep, name, nullptr).size(), 2 * kMaxPath - 100);
    BuildInstaller(dir, {{"App.exe", "program"}, {name, "at the limit"}});
    archive = std::make_unique<InstallerArchive>();
    archive->SetFilePath(dir / "Setup.exe");
    ASSERT_TRUE(archive->LoadInstaller());
    EXPECT_EQ(archive->FindTooLongDestination(deep + letters(1)), &archive->GetEntries()[1]);
    ASSERT_EQ(archive->FindTooLongDestination(deep), nullptr);
    CreateDirectoryTree(deep);
    ASSERT_TRUE(archive->ExtractFiles(deep));
    EXPECT_EQ(ReadWholeFile(BuildPath(deep, name, nullptr)), "at the limit");
}

TEST_F(ExtractTest, AFullDiskRemovesTheFileItCutShort) {
    const struct {
        const char* what;
        bool compress;
        CompressionSettings compression;
    } cases[] = {
        {"stored", false, {}},
        {"deflate", true, {}},
        {"lzma", true, {CompressionMethod::Lzma, false, 0, 1}},
        {"solid lzma", true, {CompressionMethod::Lzma, true, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BuildInstaller(dir, {{"App.exe", "program"}, {"big.bin", Noise(300000, 4)}, {"after.txt", "later"}}, c.compress,
                       1000, "App;App -", true, {}, c.compression);
        archive = std::make_unique<InstallerArchive>();
        archive->SetFilePath(dir / "Setup.exe");
        ASSERT_TRUE(archive->LoadInstaller());
        std::filesystem::remove_all(out);
        CreateDirectoryTree(out);
        // App.exe takes one write, big.bin several: its second one fails.
        InjectFileFault(FileOperation::Write, 3, kErrorDiskFull);
        std::string error;
        EXPECT_FALSE(archive->ExtractFiles(out, &error));
        ClearFileFaults();
        EXPECT_EQ(ListFiles(out), std::vector<std::string>{"App.exe"});
        // The file layer's failure is the one said, not damage it caused.
        const FileFailure* failure = archive->FileFailureMet();
        ASSERT_NE(failure, nullptr);
        EXPECT_EQ(failure->operation, FileOperation::Write);
        EXPECT_EQ(failure->errorCode, kErrorDiskFull);
        EXPECT_EQ(failure->path, BuildPath(out, "big.bin", nullptr));
        EXPECT_EQ(error, "");
        ASSERT_TRUE(archive->ExtractFiles(out));
        EXPECT_EQ(archive->FileFailureMet(), nullptr);
    }
}

TEST_F(ExtractTest, VerifyChecksWithoutWritingFiles) {
    BuildInstaller(dir, {{"App.exe", Noise(100000, 3)}, {"b.txt", "bee"}});
    InstallerArchive verifier;
    verifier.SetFilePath(dir / "Setup.exe");
    ASSERT_TRUE(verifier.LoadInstaller());
    std::string error;
    EXPECT_TRUE(verifier.VerifyFiles(&error)) << error;

    std::string bytes = ReadWholeFile(dir / "Setup.exe");
    bytes[ReadLayout(bytes).records[1] + 5] ^= 0x40; // a digest byte of the second entry
    dir.WriteFile("Setup.exe", bytes);
    const std::vector<std::string> before = ListFiles(dir.path());
    ASSERT_TRUE(verifier.LoadInstaller());
    EXPECT_FALSE(verifier.VerifyFiles(&error));
    EXPECT_EQ(error,
              "!Error VerifyFiles: " + dir / "Setup.exe" + " Verify error ErrorZorInstaller: Unable to extract file.");
    EXPECT_EQ(ListFiles(dir.path()), before);
}

TEST_F(ExtractTest, ComputeFileMd5ReportsAnUnopenableFile) {
    InstallerArchive digests;
    LineRecorder lines;
    lines.Attach(digests);
    std::uint8_t md5[kMd5DigestSize];
    const std::string path = dir / "missing.bin";
    EXPECT_FALSE(digests.ComputeFileMD5(path, md5));
    EXPECT_EQ(lines.lines, (std::vector<std::string>{"Computing MD5 sum for file '" + path + "'...",
                                                     "Unable to open file '" + path +
                                                         "' (The system cannot find the file specified. (2))"}));
    EXPECT_TRUE(digests.ComputeFileMD5(dir.WriteFile("empty", ""), md5));
    const std::uint8_t empty[] = {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                                  0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e};
    EXPECT_TRUE(CompareMD5(md5, empty));
}

} // namespace

// LZMA installers, a stream per entry and solid: what the builder records,
// what the extractor gives back, and what a reader refuses before decoding.
#include "archive_test_support.h"

#include "archive/entry_name.h"
#include "common/file_system.h"
#include "common/path.h"
#include "tests/support/fake_stub.h"
#include "tests/support/random_data.h"

#include <gtest/gtest.h>

namespace {

using namespace archive_format;

constexpr CompressionSettings kPerEntry{CompressionMethod::Lzma, false, 0, 1};
constexpr CompressionSettings kSolid{CompressionMethod::Lzma, true, 0, 1};

std::string AsString(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

class LzmaArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string text = AsString(RandomText(150000, 3));
        files = {{"App.exe", X86ImageBytes(200000)},
                 {"readme.txt", text},
                 {"empty.dat", ""},
                 {"noise.bin", AsString(RandomBytes(120000, 4))},
                 {"doc\\copy.txt", text}};
    }

    std::unique_ptr<InstallerArchive> Load(const std::string& path) {
        auto archive = std::make_unique<InstallerArchive>();
        archive->SetFilePath(path);
        if (!archive->LoadInstaller()) return nullptr;
        return archive;
    }

    TempDir dir;
    std::vector<SourceFile> files;
};

TEST_F(LzmaArchiveTest, EveryLayoutGivesBackEveryFile) {
    for (const CompressionSettings& settings : {kPerEntry, kSolid}) {
        SCOPED_TRACE(settings.solid ? "solid" : "per entry");
        const std::string setup = BuildInstaller(dir, files, true, 1000, "App;App -", true, {}, settings);
        const std::string bytes = ReadWholeFile(setup);
        EXPECT_EQ(Field32(bytes, bytes.size() - kTailerSize + 16), kLzmaFormatVersion);
        const auto archive = Load(setup);
        ASSERT_TRUE(archive);
        EXPECT_EQ(archive->GetCompression().method, CompressionMethod::Lzma);
        EXPECT_EQ(archive->GetCompression().solid, settings.solid);
        // The smallest power of two that holds the largest stream.
        EXPECT_EQ(archive->GetExtension(extension_block::kDictionaryKey), settings.solid ? "1048576" : "262144");
        const std::vector<ArchiveEntry>& entries = archive->GetEntries();
        for (const ArchiveEntry& entry : entries)
            EXPECT_EQ(entry.coding, entry.name == "App.exe" ? kBranchFilterCoding : 0) << entry.name;
        // Random bytes are stored: they cost their headers and no more.
        if (!settings.solid) {
            EXPECT_LE(entries[3].storedSize, entries[3].originalSize + 5 + 9);
        }
        EXPECT_TRUE(archive->VerifyFiles());
        const std::string out = dir / (settings.solid ? "solid" : "entries");
        CreateDirectoryTree(out);
        ASSERT_TRUE(archive->ExtractFiles(out));
        for (const SourceFile& file : files)
            EXPECT_EQ(ReadWholeFile(BuildPath(out, NativeEntryPath(file.name), nullptr)), file.content) << file.name;
    }
}

// Every thread count writes the same bytes (a solid stream's second thread
// finds its matches); an entry with the bytes of an earlier one shares its
// block.
TEST_F(LzmaArchiveTest, ThreadsChangeNothingAndRepeatedFilesAreStoredOnce) {
    const CompressionSettings kinds[] = {
        {CompressionMethod::Deflate, false, 0, 1}, {CompressionMethod::DeflateBest, false, 0, 1}, kPerEntry, kSolid};
    for (const CompressionSettings& kind : kinds) {
        const int method = static_cast<int>(kind.method) * 2 + kind.solid;
        // The first build reads the sources, which may move their access
        // times: the second is the one to compare with.
        BuildInstaller(dir, files, true, 1000, "App;App -", true, {}, kind);
        const std::string first = ReadWholeFile(BuildInstaller(dir, files, true, 1000, "App;App -", false, {}, kind));
        for (const unsigned threads : {2u, 3u}) {
            CompressionSettings threaded = kind;
            threaded.threads = threads;
            const std::string setup = BuildInstaller(dir, files, true, 1000, "App;App -", false, {}, threaded);
            EXPECT_TRUE(ReadWholeFile(setup) == first) << method << " with " << threads << " threads";
        }
        InstallerArchive archive;
        archive.SetFilePath(dir / "Setup.exe");
        ASSERT_TRUE(archive.LoadInstaller());
        const ArchiveEntry& text = archive.GetEntries()[1];
        const ArchiveEntry& copy = archive.GetEntries()[4];
        // deflate keeps the layout of every earlier builder: one block each.
        EXPECT_EQ(copy.dataOffset == text.dataOffset, kind.method != CompressionMethod::Deflate) << method;
        EXPECT_EQ(copy.storedSize, text.storedSize);
    }
}

TEST_F(LzmaArchiveTest, ReadersRefuseWhatTheyCannotDecode) {
    const std::string solid = ReadWholeFile(BuildInstaller(dir, files, true, 1000, "App;App -", true, {}, kSolid));
    const Layout layout = ReadLayout(solid);
    // Same-length changes, so that the block stays well-formed around them.
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string bytes = solid;
        bytes.replace(bytes.rfind(from), from.size(), to);
        return bytes;
    };
    const std::string records = UnpackedRecords(solid);
    const std::vector<std::size_t> at = RecordOffsets(records, 0, layout.entryCount);
    std::string version258 = WithRecords(solid, records, false), unknownCoding = records, strayOffset = records,
                hugeToc = solid;
    SetField32(hugeToc, layout.tocOffset, kMaxLzmaTocSize + 1);
    SetField32(version258, version258.size() - 64 + 16, kFormatVersion);
    unknownCoding[at[1] + 17] = 2;
    SetField32(strayOffset, at[2] + 48, Field32(records, at[2] + 48) + 1);
    const struct {
        const char* what;
        std::string bytes;
        ZorInstallerError code;
        const char* line; // part of the failure's line
    } cases[] = {
        {"unknown method", replaced("lzma", "lzmb"), ZorInstallerError::VersionNotSupported,
         "uses the compression method 'lzmb', which this reader does not know"},
        {"unknown layout", replaced("solid", "solix"), ZorInstallerError::VersionNotSupported,
         "uses the layout 'solix', which this reader does not know"},
        {"dictionary below 4 KiB", replaced("1048576", "0004095"), ZorInstallerError::ExtensionBlock,
         "declares the dictionary '0004095', which is not 4096 to 1073741824 bytes"},
        {"method in a version-258 installer", version258, ZorInstallerError::ExtensionBlock,
         "names the compression method 'lzma' in an installer of format version 258"},
        {"unknown coding bit", WithRecords(solid, unknownCoding), ZorInstallerError::VersionNotSupported,
         "codes the entry 'readme.txt' in a way this reader does not know"},
        {"a TOC larger than any reader holds", hugeToc, ZorInstallerError::BadToc, "TOC error"},
        {"a TOC with a byte after its records", WithRecords(solid, records + '\0'), ZorInstallerError::BadToc,
         "TOC error"},
        {"a solid record elsewhere", WithRecords(solid, strayOffset), ZorInstallerError::BadToc,
         "has a solid stream whose records disagree on where it lies"},
    };
    for (const auto& c : cases) {
        dir.WriteFile("bad.exe", c.bytes);
        InstallerArchive archive;
        archive.SetFilePath(dir / "bad.exe");
        EXPECT_FALSE(archive.LoadInstaller()) << c.what;
        EXPECT_EQ(archive.GetErrorCode(), c.code) << c.what;
        EXPECT_NE(archive.LastFailure().line.find(c.line), std::string::npos) << archive.LastFailure().line;
    }
    // An earlier installer's version with the method's name is no LZMA installer either.
    const std::string deflate =
        BuildInstaller(dir, files, true, 1000, "App;App -", true, {{extension_block::kCompressionKey, "lzma"}});
    InstallerArchive archive;
    archive.SetFilePath(deflate);
    EXPECT_FALSE(archive.LoadInstaller());
    EXPECT_EQ(archive.GetErrorCode(), ZorInstallerError::ExtensionBlock);
}

} // namespace

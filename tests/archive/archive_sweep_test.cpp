// Damaged installers, cut short or with bytes flipped all over: every case
// must end in a clean failure with a known error, or in a successful
// extraction of content that the installer really holds; never a crash and
// never a file outside the target directory.
#include "archive_test_support.h"

#include "common/file.h"
#include "common/file_system.h"
#include "tests/support/fake_stub.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

class SweepTest : public ::testing::Test {
protected:
    void SetUp() override {
        files = {{"App.exe", X86ImageBytes(3000)}, {"b.txt", "bravo bravo bravo"}, {"c.bin", ""}};
        for (const SourceFile& file : files) contents.insert(file.content);
    }

    // Tries one damaged installer and checks the rules above.
    void Check(const std::string& bytes, const std::string& what) {
        const std::string work = dir / "work";
        std::filesystem::remove_all(work);
        CreateDirectoryTree(BuildPath(work, "out", nullptr));
        const std::string setup = BuildPath(work, "Setup.exe", nullptr);
        {
            CFile file;
            ASSERT_TRUE(file.Create(setup));
            file.Write(bytes.data(), bytes.size());
        }
        InstallerArchive archive;
        archive.SetFilePath(setup);
        if (!archive.LoadInstaller()) {
            static const std::set<ZorInstallerError> kLoadErrors = {
                ZorInstallerError::BadSignature, ZorInstallerError::VersionNotSupported, ZorInstallerError::BadToc,
                ZorInstallerError::ExtensionBlock};
            EXPECT_EQ(kLoadErrors.count(archive.GetErrorCode()), 1u) << what;
            return;
        }
        const std::string out = BuildPath(work, "out", nullptr);
        std::string error;
        const bool extracted = archive.ExtractFiles(out, &error);
        for (const std::string& name : ListFiles(work))
            EXPECT_TRUE(name == "Setup.exe" || name == "out" || name.rfind("out", 0) == 0) << what << ": " << name;
        if (!extracted) {
            EXPECT_EQ(archive.GetErrorCode(), ZorInstallerError::CannotExtractFile) << what;
            EXPECT_EQ(error, "!Error LoadInstaller: " + setup + " Extract error " + archive.GetErrorText()) << what;
            return;
        }
        // Names are read back through the archive: a flipped byte may make a
        // name that another file API would spell differently.
        EXPECT_LE(ListFiles(out).size(), archive.GetEntries().size()) << what;
        for (const ArchiveEntry& entry : archive.GetEntries())
            EXPECT_EQ(contents.count(ReadWholeFile(BuildPath(out, entry.name, nullptr))), 1u)
                << what << ": " << entry.name;
    }

    void Sweep(bool compress, const CompressionSettings& compression = {}) {
        const std::string good =
            ReadWholeFile(BuildInstaller(dir, files, compress, 300, "App;App -", true, {}, compression));
        const Layout layout = ReadLayout(good);
        Check(good, "intact");
        // Cut short at offsets all over the archive part (and a few in the
        // stub); every byte of the TOC, strings and tailer.
        for (std::size_t size = 0; size < good.size(); size += size < layout.tocOffset ? 23 : 1)
            Check(good.substr(0, size), "cut at " + std::to_string(size));
        // Flip bits of every byte of TOC, strings and tailer, and of every
        // seventh byte of the data blocks.
        for (std::size_t at = 300; at < good.size(); at += at < layout.tocOffset ? 7 : 1) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ (at % 2 ? 0x01 : 0xA5));
            Check(bytes, "flip at " + std::to_string(at));
        }
        EXPECT_GT(layout.entryCount, 0u);
    }

    TempDir dir;
    std::vector<SourceFile> files;
    std::set<std::string> contents;
};

TEST_F(SweepTest, CompressedInstallers) { Sweep(true); }
TEST_F(SweepTest, StoredInstallers) { Sweep(false); }
TEST_F(SweepTest, LzmaInstallers) { Sweep(true, {CompressionMethod::Lzma, false, 0, 1}); }
TEST_F(SweepTest, SolidLzmaInstallers) { Sweep(true, {CompressionMethod::Lzma, true, 0, 1}); }

} // namespace

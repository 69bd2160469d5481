// Round trips of whole payloads: hundreds of files of every size, empty
// files, real program images and one very large file, compressed and stored.
#include "archive_test_support.h"

#include "common/file.h"
#include "common/file_system.h"
#include "common/system_info.h"

#include <gtest/gtest.h>

#include <random>

namespace {

#ifdef ZOR_SMALL_PAYLOADS
constexpr std::size_t kLargeFile = 10u << 20;
#else
constexpr std::size_t kLargeFile = 100u << 20;
#endif

// Writes a large file piece by piece: text, noise and runs, as real data mixes them.
void WriteLargeFile(const std::string& path, std::size_t size) {
    CFile file;
    ASSERT_TRUE(file.Create(path));
    std::mt19937 random(99);
    std::string piece;
    for (std::size_t written = 0; written < size; written += piece.size()) {
        piece.clear();
        while (piece.size() < 65536) {
            switch (random() % 3) {
            case 0:
                piece += "Installer payloads mix text like this with binary data. ";
                break;
            case 1:
                piece.append(random() % 200, static_cast<char>(random()));
                break;
            default:
                for (int i = 0; i < 64; ++i) piece += static_cast<char>(random());
            }
        }
        piece.resize(std::min(piece.size(), size - written));
        file.Write(piece.data(), piece.size());
    }
}

TEST(ArchivePayload, HundredsOfFilesAndOneLargeFileRoundTrip) {
    TempDir dir;
    const std::string sources = dir / "src";
    CreateDirectoryTree(sources);
    std::vector<std::string> names;
    std::mt19937 random(5);
    // This very test program is a real executable image.
    names.push_back("program.exe");
    ASSERT_TRUE(CopyFileContents(GetModulePath(), BuildPath(sources, names.back(), nullptr)));
    for (int i = 0; i < 300; ++i) {
        names.push_back("file" + std::to_string(i) + (i % 3 ? ".txt" : ".dat"));
        const std::size_t size = i % 50 == 0 ? 0 : random() % (i % 7 == 0 ? 200000 : 3000);
        std::string content(size, '\0');
        for (auto& c : content) c = static_cast<char>(i % 2 ? 'a' + random() % 8 : random());
        dir.WriteFile("src" + std::string(1, PathSeparator()) + names.back(), content);
    }
    names.push_back("large.bin");
    WriteLargeFile(BuildPath(sources, names.back(), nullptr), kLargeFile);

    for (bool compress : {true, false}) {
        SCOPED_TRACE(compress ? "compressed" : "stored");
        InstallerArchive builder;
        builder.SetExtractorImage(FakeStub());
        builder.SetFilePath(dir / "Setup.exe");
        builder.SetOptions(compress ? kDefaultOptions : kDefaultOptions & ~kCompressFiles);
        for (const std::string& name : names) ASSERT_TRUE(builder.AddFile(BuildPath(sources, name, nullptr)));
        std::string error;
        ASSERT_TRUE(builder.MakeInstaller(&error)) << error;

        InstallerArchive installer;
        installer.SetFilePath(dir / "Setup.exe");
        ASSERT_TRUE(installer.LoadInstaller());
        ASSERT_EQ(installer.GetEntries().size(), names.size());
        const std::string out = dir / (compress ? "out-compressed" : "out-stored");
        CreateDirectoryTree(out);
        ASSERT_TRUE(installer.ExtractFiles(out, &error)) << error;
        for (const std::string& name : names) {
            std::uint32_t size = 0;
            ASSERT_TRUE(GetFileSizeLow(BuildPath(out, name, nullptr), size)) << name;
            if (name == "large.bin") continue; // proven by its digest, which extraction checked
            EXPECT_EQ(ReadWholeFile(BuildPath(out, name, nullptr)), ReadWholeFile(BuildPath(sources, name, nullptr)))
                << name;
        }
        EXPECT_EQ(installer.GetEntries().back().originalSize, kLargeFile);
    }
}

} // namespace

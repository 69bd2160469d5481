#include "compress/compressed_file.h"

#include "common/file.h"
#include "common/file_system.h"
#include "common/system_info.h"
#include "compress/deflate_codec.h"
#include "deflate_test_support.h"
#include "tests/common/temp_dir.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

std::string MixedContent(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) {
        switch (random() % 3) {
        case 0:
            text += "The quick brown fox jumps over the lazy dog. ";
            break;
        case 1:
            text.append(random() % 300, static_cast<char>('a' + random() % 26));
            break;
        default:
            for (int i = 0; i < 50; ++i) text += static_cast<char>(random());
        }
    }
    text.resize(size);
    return text;
}

struct Chunk {
    std::uint32_t length;
    Bytes payload;
};

// The chunks of a "!ZQM" file, read with the layout's own rules.
std::vector<Chunk> ReadChunks(const std::string& content) {
    std::vector<Chunk> chunks;
    std::size_t at = 6;
    while (at + 4 <= content.size()) {
        std::uint32_t length;
        std::memcpy(&length, content.data() + at, 4);
        at += 4;
        chunks.push_back({length, Bytes(content.begin() + at, content.begin() + at + length)});
        at += length;
    }
    EXPECT_EQ(at, content.size());
    return chunks;
}

struct Sizes {
    std::uint32_t original = 0, compressed = 0, file = 0;
    double ratio = 0;
};

class CompressedFileTest : public ::testing::Test {
protected:
    // Compresses content to dir/packed.zqm and returns its bytes.
    std::string CompressText(const std::string& content, Sizes* sizes = nullptr) {
        const std::string source = dir.WriteFile("source.bin", content);
        CompressedFile file(source, dir / "packed.zqm");
        std::string error;
        EXPECT_TRUE(file.Compress(&error)) << error;
        EXPECT_EQ(error, "");
        if (sizes)
            *sizes = {file.GetOriginalSize(), file.GetCompressedSize(), file.GetCompressedFileSize(),
                      file.GetCompressionRatio()};
        return ReadWholeFile(dir / "packed.zqm");
    }

    TempDir dir;
};

TEST_F(CompressedFileTest, AnEmptyFileIsTheHeaderAlone) {
    CompressedFile file(dir.WriteFile("empty.txt", ""), dir / "empty.zqm");
    ASSERT_TRUE(file.Compress());
    EXPECT_EQ(ReadWholeFile(dir / "empty.zqm"), std::string("!ZQM\x00\x31", 6));
    EXPECT_EQ(file.GetOriginalSize(), 0u);
    EXPECT_EQ(file.GetCompressedSize(), 0u);
    EXPECT_EQ(file.GetCompressedFileSize(), 6u);
    EXPECT_EQ(file.GetCompressionRatio(), 0.0);

    CompressedFile back(dir / "restored.txt", dir / "empty.zqm");
    ASSERT_TRUE(back.Expand());
    EXPECT_TRUE(FileExists(dir / "restored.txt"));
    EXPECT_EQ(ReadWholeFile(dir / "restored.txt"), "");
    EXPECT_EQ(back.GetOriginalSize(), 0u);
    EXPECT_EQ(back.GetCompressedSize(), 0u);
}

TEST_F(CompressedFileTest, CutsTheSourceIntoPiecesOf64KiB) {
    const struct {
        std::size_t size;
        std::vector<std::size_t> pieces;
    } cases[] = {
        {65536, {65536}},
        {65537, {65536, 1}},
        {8 * 65536 + 100, {65536, 65536, 65536, 65536, 65536, 65536, 65536, 65536, 100}},
    };
    for (const auto& c : cases) {
        const std::string content = MixedContent(c.size, static_cast<unsigned>(c.size));
        const std::vector<Chunk> chunks = ReadChunks(CompressText(content));
        ASSERT_EQ(chunks.size(), c.pieces.size());
        DeflateCodec codec;
        Bytes out;
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            EXPECT_EQ(chunks[i].length, chunks[i].payload.size());
            EXPECT_LT(chunks[i].length, 98304u);
            ASSERT_TRUE(codec.DecodeChunk(chunks[i].payload.data(), chunks[i].payload.size(), out));
            EXPECT_EQ(out.size(), c.pieces[i]) << "chunk " << i << " of " << c.size;
        }
    }
}

TEST_F(CompressedFileTest, RoundTripsWithSizesTimesAndRatio) {
    const std::string content = MixedContent(300000, 11);
    Sizes packed;
    const std::string zqm = CompressText(content, &packed);
    EXPECT_EQ(packed.original, content.size());
    EXPECT_EQ(packed.file, zqm.size());
    std::uint32_t payload = 0;
    for (const Chunk& chunk : ReadChunks(zqm)) payload += chunk.length;
    EXPECT_EQ(packed.compressed, payload);
    EXPECT_DOUBLE_EQ(packed.ratio, payload * 100.0 / content.size());

    const FileTime creation = FileTime::FromTicks(126455968000000000ull);
    const FileTime access = FileTime::FromTicks(128790462900000000ull);
    const FileTime write = FileTime::FromTicks(127000000000000000ull);
    CompressedFile restored(dir / "restored.bin", dir / "packed.zqm");
    std::string error;
    ASSERT_TRUE(restored.Expand(&creation, &access, &write, &error)) << error;
    EXPECT_EQ(restored.GetOriginalSize(), content.size());
    EXPECT_EQ(restored.GetCompressedSize(), payload);

    // The times first: reading the content may move the access time.
    CFile file;
    ASSERT_TRUE(file.OpenForReading(dir / "restored.bin"));
    FileTimes times;
    ASSERT_TRUE(file.GetFileTimes(times));
    EXPECT_EQ(times.lastWrite, write);
    EXPECT_EQ(times.lastAccess, access);
    file.Close();
    EXPECT_EQ(ReadWholeFile(dir / "restored.bin"), content);
}

TEST_F(CompressedFileTest, SetsNoTimeUnlessAllThreeAreGiven) {
    CompressText(MixedContent(1000, 12));
    const FileTime old = FileTime::FromTicks(126455968000000000ull);
    CompressedFile restored(dir / "restored.bin", dir / "packed.zqm");
    ASSERT_TRUE(restored.Expand(&old, nullptr, &old));
    CFile file;
    ASSERT_TRUE(file.OpenForReading(dir / "restored.bin"));
    FileTimes times;
    ASSERT_TRUE(file.GetFileTimes(times));
    EXPECT_NE(times.lastWrite, old);
}

TEST_F(CompressedFileTest, OpenFailuresAndAWrongMagicLeaveTheErrorAlone) {
    std::string error;
    CompressedFile missingSource(dir / "missing.bin", dir / "out.zqm");
    EXPECT_FALSE(missingSource.Compress(&error));
    EXPECT_EQ(error, "");
    CompressedFile missingPacked(dir / "out.bin", dir / "missing.zqm");
    EXPECT_FALSE(missingPacked.Expand(nullptr, nullptr, nullptr, &error));
    EXPECT_EQ(error, "");

    std::string zqm = CompressText("some text to pack");
    zqm[3] = 'X';
    dir.WriteFile("bad-magic.zqm", zqm);
    CompressedFile badMagic(dir / "out.bin", dir / "bad-magic.zqm");
    EXPECT_FALSE(badMagic.Expand(nullptr, nullptr, nullptr, &error));
    EXPECT_EQ(error, "");
}

TEST_F(CompressedFileTest, DamagedFilesFailWithUncompressionError) {
    const std::string content = MixedContent(3 * 65536, 13);
    const std::string zqm = CompressText(content);
    const std::vector<Chunk> chunks = ReadChunks(zqm);
    ASSERT_EQ(chunks.size(), 3u);

    std::string swapped = zqm.substr(0, 6);
    for (int i : {1, 0, 2}) {
        swapped.append(reinterpret_cast<const char*>(&chunks[i].length), 4);
        swapped.append(chunks[i].payload.begin(), chunks[i].payload.end());
    }
    std::string longLength = zqm;
    const std::uint32_t tooLong = 98305;
    std::memcpy(longLength.data() + 6, &tooLong, 4);

    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"chunk length above 98304", longLength},
        {"length field cut short", zqm + std::string("\x01\x00", 2)},
        {"last chunk cut short", zqm.substr(0, zqm.size() - 10)},
        {"a chunk decoding to nothing", zqm + std::string("\x00\x00\x00\x00", 4)},
        {"garbage chunk", zqm.substr(0, 6) + std::string("\x08\x00\x00\x00\x78\x9c\xff\xff\xff\xff\xff\xff", 12)},
    };
    for (const auto& c : cases) {
        dir.WriteFile("damaged.zqm", c.bytes);
        CompressedFile file(dir / "out.bin", dir / "damaged.zqm");
        std::string error;
        EXPECT_FALSE(file.Expand(nullptr, nullptr, nullptr, &error)) << c.name;
        EXPECT_EQ(error, "Uncompression error") << c.name;
    }

    // Chunks depend on the ones before them: out of order they give other data.
    dir.WriteFile("swapped.zqm", swapped);
    CompressedFile reordered(dir / "out.bin", dir / "swapped.zqm");
    if (reordered.Expand()) {
        EXPECT_NE(ReadWholeFile(dir / "out.bin"), content);
    }
}

TEST_F(CompressedFileTest, ADiskFullWhileCompressingRaises) {
    const std::string source = dir.WriteFile("source.bin", MixedContent(200000, 14));
    CompressedFile file(source, dir / "packed.zqm");
    InjectFileFault(FileOperation::Write, 4, 112);
    EXPECT_THROW(file.Compress(), FileException);
    ClearFileFaults();
}

TEST(CompressedFileDefaults, EachObjectHasItsOwnTemporaryFileWhileItLives) {
    TempDir dir;
    const std::string source = dir.WriteFile("source.bin", MixedContent(200000, 5));
    std::string first, second;
    {
        CompressedFile one(source), two(source);
        first = one.GetCompressedPath();
        second = two.GetCompressedPath();
        EXPECT_NE(first, second);
        EXPECT_NE(first, GetTempFilePath("~Com"));
        EXPECT_EQ(GetPathPart(first, kPathDirectory) + PathSeparator(), GetTempDirectory());
        EXPECT_EQ(GetPathPart(first, kPathFileName).rfind("~Com", 0), 0u) << first;
        EXPECT_TRUE(FileExists(first));
        ASSERT_TRUE(one.Compress());
        CompressedFile back(dir / "back.bin", first);
        ASSERT_TRUE(back.Expand());
        EXPECT_EQ(ReadWholeFile(dir / "back.bin"), ReadWholeFile(source));
    }
    EXPECT_FALSE(FileExists(first)) << "removed with its object";
    EXPECT_FALSE(FileExists(second));
}

TEST(CompressedFileDefaults, TwoProcessesCompressAtTheSameTime) {
    TempDir dir;
    const std::string first = dir.WriteFile("first.bin", MixedContent(3000000, 21));
    const std::string second = dir.WriteFile("second.bin", MixedContent(3000000, 22));
    const std::string worker = ProgramBesideTests("compress_worker");
    ChildProcess one, two;
    ASSERT_TRUE(one.Start(worker, {first, dir / "first.out"}));
    ASSERT_TRUE(two.Start(worker, {second, dir / "second.out"}));
    EXPECT_EQ(one.Wait(), 0);
    EXPECT_EQ(two.Wait(), 0);
    EXPECT_EQ(ReadWholeFile(dir / "first.out"), ReadWholeFile(first));
    EXPECT_EQ(ReadWholeFile(dir / "second.out"), ReadWholeFile(second));
}

} // namespace

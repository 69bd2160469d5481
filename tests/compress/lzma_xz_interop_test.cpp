// The LZMA codec against xz-utils: each side decodes what the other wrote,
// through ".lzma" files.
#include "lzma_test_support.h"

#include "common/little_endian.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool HaveXz() { return std::system("xz --version >/dev/null 2>&1") == 0; }

Bytes Corpus() {
    return Concat({RandomText(300000, 11), Records(100000, 12), RandomBytes(20000, 13), RandomText(100000, 14)});
}

TEST(LzmaXzInterop, XzDecodesOurStreams) {
    if (!HaveXz()) GTEST_SKIP() << "no xz here";
    TempDir dir;
    const Bytes input = Corpus();
    for (const lzma::Properties& properties : {lzma::Properties{}, lzma::Properties{0, 2, 0, 1 << 16}}) {
        LzmaEncoderOptions options;
        options.properties = properties;
        const Bytes stream = LzmaEncode(input, options);
        std::string file(1, static_cast<char>(properties.Byte()));
        AppendLittleEndian32(file, properties.dictionarySize);
        AppendLittleEndian32(file, static_cast<std::uint32_t>(input.size()));
        AppendLittleEndian32(file, 0);
        file.append(stream.begin(), stream.end());
        dir.WriteFile("ours.lzma", file);
        ASSERT_EQ(std::system(("xz --format=lzma -dc '" + (dir / "ours.lzma") + "' > '" + (dir / "out") + "'").c_str()),
                  0);
        EXPECT_TRUE(ReadWholeFile(dir / "out") == std::string(input.begin(), input.end()));
    }
}

TEST(LzmaXzInterop, WeDecodeXzStreams) {
    if (!HaveXz()) GTEST_SKIP() << "no xz here";
    TempDir dir;
    const Bytes input = Corpus();
    dir.WriteFile("in", std::string(input.begin(), input.end()));
    for (const char* preset : {"-0", "-9e"}) {
        ASSERT_EQ(std::system(("xz --format=lzma " + std::string(preset) + " -c '" + (dir / "in") + "' > '" +
                               (dir / "in.lzma") + "'")
                                  .c_str()),
                  0);
        const std::string file = ReadWholeFile(dir / "in.lzma");
        ASSERT_GT(file.size(), lzma::kHeaderSize);
        const auto* header = reinterpret_cast<const std::uint8_t*>(file.data());
        lzma::Properties properties;
        ASSERT_TRUE(lzma::ParseProperties(header[0], properties));
        properties.dictionarySize = LoadLittleEndian32(header + 1);
        // xz does not know the size of what it reads and ends with the marker.
        EXPECT_EQ(LoadLittleEndian64(header + 5), lzma::kUnknownSize);
        const LzmaDecoded decoded =
            LzmaDecode(Bytes(file.begin() + lzma::kHeaderSize, file.end()), properties, input.size());
        EXPECT_EQ(decoded.result, LzmaResult::Ok) << preset;
        EXPECT_TRUE(decoded.output == input) << preset;
    }
}

} // namespace

// The best-ratio encoder's streams, read back by our decoder and by zlib.
#include "compress/deflate_best_encoder.h"
#include "compress/deflate_codec.h"
#include "deflate_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

namespace {

struct Encoded {
    Bytes stream;
    std::vector<std::size_t> chunkEnds;
};

Encoded EncodeInChunks(const Bytes& input, std::size_t chunk) {
    DeflateBestEncoder encoder;
    Encoded encoded;
    Bytes out;
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(chunk, input.size() - at);
        EXPECT_TRUE(encoder.Encode(input.data() + at, length, out));
        encoded.stream.insert(encoded.stream.end(), out.begin(), out.end());
        encoded.chunkEnds.push_back(encoded.stream.size());
        at += length;
    } while (at < input.size());
    return encoded;
}

Bytes Inflate(const Bytes& stream, std::size_t expected) {
    z_stream z{};
    EXPECT_EQ(inflateInit(&z), Z_OK);
    Bytes out(expected + 1);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_SYNC_FLUSH);
    EXPECT_TRUE(result == Z_OK || (result == Z_BUF_ERROR && stream.size() <= 2)) << result;
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

// A random block that recurs exactly one window back, and one byte beyond.
Bytes WindowEdges() {
    Bytes bytes = RandomBytes(40000, 5);
    const Bytes block(bytes.begin(), bytes.begin() + 1000);
    bytes.insert(bytes.begin() + 32768, block.begin(), block.end());
    bytes.insert(bytes.begin() + 32769 + 2000, block.begin(), block.begin() + 600);
    return bytes;
}

TEST(DeflateBestEncoder, OurDecoderAndZlibReadEveryStreamChunkByChunk) {
    const struct {
        const char* name;
        Bytes input;
        std::size_t chunk;
        double maxRatio; // compressed size over input size
    } cases[] = {
        {"empty", {}, 65536, 0},
        {"tiny", ToBytes("a"), 65536, 8},
        {"text", RandomText(200000, 1), 65536, 0.14},
        {"random: stored", RandomBytes(150000, 1), 65536, 1.001},
        {"long run", Bytes(300000, 0x41), 65536, 0.005},
        {"window edges", WindowEdges(), 65536, 1.001},
        {"chunk sizes", RandomText(3 * 65536 + 5, 2), 65535, 0.14},
        {"one big call", RandomText(200000, 1), 200000, 0.14},
    };
    for (const auto& c : cases) {
        const Encoded encoded = EncodeInChunks(c.input, c.chunk);
        EXPECT_LE(encoded.stream.size(), c.input.size() * c.maxRatio + 8) << c.name;
        EXPECT_EQ(Inflate(encoded.stream, c.input.size()), c.input) << c.name;
        // Each chunk's bytes give all of its input.
        DeflateCodec codec;
        Bytes decoded, out;
        std::size_t at = 0;
        for (std::size_t i = 0; i < encoded.chunkEnds.size(); ++i) {
            const std::size_t end = encoded.chunkEnds[i];
            ASSERT_TRUE(codec.DecodeChunk(encoded.stream.data() + at, end - at, out)) << c.name;
            decoded.insert(decoded.end(), out.begin(), out.end());
            EXPECT_EQ(decoded.size(), std::min(c.input.size(), c.chunk * (i + 1))) << c.name;
            at = end;
        }
        EXPECT_EQ(decoded, c.input) << c.name;
    }
}

} // namespace

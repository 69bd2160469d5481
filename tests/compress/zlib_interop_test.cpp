// The codec against zlib: zlib reads our streams, and we read zlib's.
#include "compress/deflate_codec.h"
#include "deflate_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>

namespace {

Bytes Corpus(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes data;
    static const char* const kWords[] = {"alpha ", "beta ", "gamma ", "delta\n", "{\"key\": 1}, ", "0x7FFF "};
    while (data.size() < size) {
        if (random() % 4 == 0) {
            for (int i = 0; i < 40; ++i) data.push_back(static_cast<std::uint8_t>(random()));
        } else {
            const char* word = kWords[random() % std::size(kWords)];
            data.insert(data.end(), word, word + std::strlen(word));
        }
    }
    data.resize(size);
    return data;
}

// zlib's stream of data compressed at level in 65536-byte pieces, each ended
// with a sync flush and none finishing the stream.
Bytes ZlibStream(const Bytes& data, int level) {
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, level), Z_OK);
    Bytes out(compressBound(static_cast<uLong>(data.size())) + 1024 + data.size() / 1000);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    for (std::size_t at = 0; at < data.size(); at += 65536) {
        stream.next_in = const_cast<Bytef*>(data.data() + at);
        stream.avail_in = static_cast<uInt>(std::min<std::size_t>(65536, data.size() - at));
        EXPECT_EQ(deflate(&stream, Z_SYNC_FLUSH), Z_OK);
    }
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

bool DecodeInPieces(const Bytes& stream, const std::vector<std::size_t>& cuts, Bytes& decoded) {
    DeflateCodec codec;
    decoded.clear();
    Bytes out;
    std::size_t at = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const std::size_t end = i < cuts.size() ? cuts[i] : stream.size();
        if (!codec.DecodeChunk(stream.data() + at, end - at, out)) return false;
        decoded.insert(decoded.end(), out.begin(), out.end());
        at = end;
    }
    return true;
}

TEST(ZlibInterop, ZlibInflatesOurChunksAndSeesAnUnfinishedStream) {
    const Bytes data = Corpus(5 * 65536 + 777, 1);
    DeflateCodec codec;
    z_stream stream{};
    ASSERT_EQ(inflateInit(&stream), Z_OK);
    Bytes inflated(data.size() + 1);
    stream.next_out = inflated.data();
    stream.avail_out = static_cast<uInt>(inflated.size());
    for (std::size_t at = 0; at < data.size(); at += 65536) {
        Bytes chunk;
        ASSERT_TRUE(codec.EncodeChunk(data.data() + at, std::min<std::size_t>(65536, data.size() - at), chunk));
        stream.next_in = chunk.data();
        stream.avail_in = static_cast<uInt>(chunk.size());
        const int result = inflate(&stream, Z_NO_FLUSH);
        ASSERT_EQ(result, Z_OK) << stream.msg;
        ASSERT_EQ(stream.avail_in, 0u);
        // Everything given so far has come out: chunks decode on their own.
        ASSERT_EQ(stream.total_out, std::min<std::size_t>(at + 65536, data.size()));
    }
    inflated.resize(stream.total_out);
    EXPECT_EQ(inflated, data);
    inflateEnd(&stream);
}

TEST(ZlibInterop, WeReadZlibStreamsAtEveryLevel) {
    const Bytes data = Corpus(400000, 2);
    for (int level : {0, 1, 6, 9}) {
        SCOPED_TRACE("level " + std::to_string(level));
        const Bytes stream = ZlibStream(data, level);
        Bytes decoded;
        ASSERT_TRUE(DecodeInPieces(stream, {}, decoded));
        EXPECT_EQ(decoded, data);

        std::mt19937 random(static_cast<unsigned>(level));
        std::vector<std::size_t> cuts;
        for (std::size_t at = random() % 5000; at < stream.size(); at += random() % 5000) cuts.push_back(at);
        ASSERT_TRUE(DecodeInPieces(stream, cuts, decoded));
        EXPECT_EQ(decoded, data);
    }
}

TEST(ZlibInterop, WeReadZlibStreamsOneByteAtATime) {
    const Bytes data = Corpus(70000, 3);
    for (int level : {0, 1, 6, 9}) {
        const Bytes stream = ZlibStream(data, level);
        std::vector<std::size_t> cuts;
        for (std::size_t at = 1; at < stream.size(); ++at) cuts.push_back(at);
        Bytes decoded;
        ASSERT_TRUE(DecodeInPieces(stream, cuts, decoded)) << level;
        EXPECT_EQ(decoded, data) << level;
    }
}

TEST(ZlibInterop, WeReadAFinishedZlibStreamUpToItsChecksum) {
    const Bytes data = Corpus(100000, 4);
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes stream(size);
    ASSERT_EQ(compress2(stream.data(), &size, data.data(), static_cast<uLong>(data.size()), 9), Z_OK);
    stream.resize(size - 4); // the Adler-32 trailer is no deflate data
    Bytes decoded;
    ASSERT_TRUE(DecodeInPieces(stream, {}, decoded));
    EXPECT_EQ(decoded, data);
}

} // namespace

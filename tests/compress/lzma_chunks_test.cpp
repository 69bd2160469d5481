// Chunked LZMA streams: coded and stored chunks round-trip as one stream, and
// a damaged header or segment fails closed.
#include "common/little_endian.h"
#include "compress/lzma_chunks.h"
#include "compress/lzma_read_ahead.h"
#include "tests/compress/lzma_test_support.h"

#include <gtest/gtest.h>

namespace {

// Chunks of 64 KiB, so that small inputs have several.
constexpr std::uint32_t kChunk = 1u << 16;

Bytes ChunkEncode(const Bytes& input, std::uint32_t dictionary = 1u << 20) {
    LzmaEncoderOptions options;
    options.properties.dictionarySize = dictionary;
    std::size_t at = 0;
    Bytes stream;
    std::uint64_t unpacked = 0, packed = 0;
    const LzmaEncodeResult result = CompressLzmaChunks(
        options,
        [&](void* to, std::size_t count) {
            count = std::min({count, input.size() - at, std::size_t{70000}});
            if (count != 0) std::memcpy(to, input.data() + at, count);
            at += count;
            return count;
        },
        [&](const std::uint8_t* bytes, std::size_t count) { stream.insert(stream.end(), bytes, bytes + count); },
        unpacked, packed, kChunk);
    EXPECT_EQ(result, LzmaEncodeResult::Ok);
    EXPECT_EQ(unpacked, input.size());
    EXPECT_EQ(packed, stream.size());
    return stream;
}

// Hands stream over from at on, in pieces of 5,000 bytes at most.
LzmaSource PiecesOf(const Bytes& stream, std::size_t& at) {
    return [&stream, &at](void* to, std::size_t count) {
        count = std::min({count, stream.size() - at, std::size_t{5000}});
        if (count != 0) std::memcpy(to, stream.data() + at, count);
        at += count;
        return count;
    };
}

LzmaDecoded ChunkDecode(const Bytes& stream, std::uint64_t size, LzmaDecoder& decoder,
                        std::uint32_t maxDictionary = 1u << 26) {
    LzmaDecoded decoded;
    std::size_t at = 0;
    const LzmaSource read = PiecesOf(stream, at);
    LzmaChunkReader reader(decoder);
    decoded.result = reader.Open(read, size, maxDictionary);
    while (decoded.result == LzmaResult::Ok) {
        const std::uint8_t* data;
        std::size_t count;
        decoded.result = reader.Next(data, count, 30000);
        if (count == 0) break;
        decoded.output.insert(decoded.output.end(), data, data + count);
    }
    return decoded;
}

TEST(LzmaChunks, CodedAndStoredChunksMakeOneStream) {
    // Random bytes are stored; the text after them copies from the text before them.
    const Bytes text = RandomText(100000, 1);
    const Bytes input = Concat({text, RandomBytes(300000, 2), text, Records(100, 3)});
    const Bytes stream = ChunkEncode(input);
    EXPECT_LT(stream.size(), 300000u + 16000u);
    int stored = 0;
    for (std::size_t at = lzma_chunks::kStreamHeaderSize; at < stream.size();) {
        const bool coded = stream[at] == lzma_chunks::kCodedChunk;
        stored += !coded;
        at += coded ? 9 + LoadLittleEndian32(&stream[at + 5]) : 5 + LoadLittleEndian32(&stream[at + 1]);
    }
    EXPECT_GE(stored, 3); // the chunks that lie wholly in the random bytes
    LzmaDecoder decoder;  // serves every stream below in turn
    for (const Bytes& source : {input, Bytes{}, Bytes{7}, RandomBytes(1000, 4)}) {
        const Bytes packed = &source == &input ? stream : ChunkEncode(source);
        EXPECT_LE(packed.size(), source.size() + 5 + 5 * (source.size() / kChunk + 1));
        const LzmaDecoded decoded = ChunkDecode(packed, source.size(), decoder);
        EXPECT_EQ(decoded.result, LzmaResult::Ok);
        EXPECT_TRUE(decoded.output == source) << source.size();
    }
}

TEST(LzmaChunks, DamagedStreamsFailClosed) {
    const Bytes input = Concat({RandomText(200000, 5), RandomBytes(50000, 6)});
    const Bytes stream = ChunkEncode(input);
    ASSERT_EQ(stream[5], lzma_chunks::kCodedChunk);
    const std::uint32_t segment = LoadLittleEndian32(stream.data() + 10);
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value; // written at at: one byte, or 32 bits
        bool byte;
        LzmaResult expected;
    };
    const Case cases[] = {
        {"properties byte", 0, 225, true, LzmaResult::BadProperties},
        {"dictionary beyond the limit", 1, (1u << 26) + 1, false, LzmaResult::DictionaryTooLarge},
        {"unknown chunk kind", 5, 'X', true, LzmaResult::Corrupt},
        {"empty chunk", 6, 0, false, LzmaResult::Corrupt},
        {"chunk past the stream's size", 6, static_cast<std::uint32_t>(input.size() + 1), false, LzmaResult::Corrupt},
        {"segment as long as its chunk", 10, static_cast<std::uint32_t>(input.size()), false, LzmaResult::Corrupt},
        {"segment one byte short", 10, segment - 1, false, LzmaResult::Truncated},
        {"segment one byte long", 10, segment + 1, false, LzmaResult::Corrupt},
    };
    LzmaDecoder decoder;
    for (const Case& c : cases) {
        Bytes damaged = stream;
        if (c.byte)
            damaged[c.at] = static_cast<std::uint8_t>(c.value);
        else
            StoreLittleEndian32(c.value, damaged.data() + c.at);
        const LzmaDecoded decoded = ChunkDecode(damaged, input.size(), decoder);
        EXPECT_EQ(decoded.result, c.expected) << c.what;
        EXPECT_LT(decoded.output.size(), input.size()) << c.what;
    }
    // Every cut ends too early.
    for (std::size_t cut = 0; cut < stream.size(); cut += 997) {
        const LzmaDecoded decoded = ChunkDecode(Bytes(stream.begin(), stream.begin() + cut), input.size(), decoder);
        EXPECT_NE(decoded.result, LzmaResult::Ok) << cut;
    }
}

} // namespace

namespace {

// A finder thread running ahead of the parser, across many slides of a small
// window, gives the very stream the parser alone gives.
TEST(LzmaEncoderConcurrency, AFinderThreadChangesNothingAcrossSlides) {
    const Bytes input = Concat({RandomText(500000, 7), Records(100000, 8), RandomText(200000, 7)});
    const auto encode = [&](bool threaded) {
        LzmaEncoderOptions options;
        options.properties.dictionarySize = 1u << 16; // a window of under 400 KiB: a slide every 256 KiB
        options.finderThread = threaded;
        std::size_t at = 0;
        Bytes stream;
        std::uint64_t unpacked = 0, packed = 0;
        EXPECT_EQ(CompressLzmaChunks(
                      options,
                      [&](void* to, std::size_t count) {
                          count = std::min({count, input.size() - at, std::size_t{30000}});
                          std::memcpy(to, input.data() + at, count);
                          at += count;
                          return count;
                      },
                      [&](const std::uint8_t* bytes, std::size_t count) {
                          stream.insert(stream.end(), bytes, bytes + count);
                      },
                      unpacked, packed, kChunk),
                  LzmaEncodeResult::Ok);
        return stream;
    };
    const Bytes alone = encode(false);
    EXPECT_TRUE(encode(true) == alone);
    LzmaDecoder decoder;
    EXPECT_TRUE(ChunkDecode(alone, input.size(), decoder).output == input);
}

struct AheadRun {
    LzmaResult result = LzmaResult::Ok;
    Bytes output;
};

// Decodes stream ahead on a thread, taking its bytes in pieces of random
// sizes, until the end, a failure, or stopAfter bytes.
AheadRun DecodeAhead(const Bytes& stream, std::uint64_t size, std::size_t stopAfter = SIZE_MAX) {
    LzmaDecoder decoder;
    LzmaChunkReader reader(decoder);
    std::size_t at = 0;
    const LzmaSource read = PiecesOf(stream, at);
    AheadRun run;
    run.result = reader.Open(read, size, 1u << 26);
    if (run.result != LzmaResult::Ok) return run;
    LzmaReadAhead ahead(reader, decoder.StreamWindow(), size);
    std::mt19937 random(9);
    while (run.output.size() < stopAfter) {
        const std::uint8_t* data = nullptr;
        std::size_t count = 0;
        run.result = ahead.Next(data, count, 1 + random() % 30000);
        if (run.result != LzmaResult::Ok || count == 0) break;
        run.output.insert(run.output.end(), data, data + count);
    }
    return run;
}

// Through a window of one dictionary of 64 KiB, one piece of room, the
// thread waits for its caller again and again. The bytes, and a failure
// where the stream is damaged or cut short, come as without it; a caller may
// stop halfway.
TEST(LzmaReadAheadConcurrency, DecodesAheadThroughTheWindowAlone) {
    const Bytes input = Concat({RandomText(600000, 3), RandomBytes(100000, 4), Records(200000, 5)});
    const Bytes stream = ChunkEncode(input, 1u << 16);
    const AheadRun intact = DecodeAhead(stream, input.size());
    EXPECT_EQ(intact.result, LzmaResult::Ok);
    EXPECT_TRUE(intact.output == input);

    Bytes damaged = stream;
    damaged[damaged.size() / 3] ^= 0x40;
    const Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(stream.size() / 2));
    for (const Bytes& bad : {damaged, cut}) {
        LzmaDecoder alone;
        const LzmaDecoded expected = ChunkDecode(bad, input.size(), alone);
        EXPECT_NE(expected.result, LzmaResult::Ok);
        const AheadRun ahead = DecodeAhead(bad, input.size());
        EXPECT_EQ(ahead.result, expected.result);
        EXPECT_TRUE(ahead.output == expected.output);
    }
    const AheadRun stopped = DecodeAhead(stream, input.size(), 100);
    EXPECT_TRUE(std::equal(stopped.output.begin(), stopped.output.end(), input.begin()));
}

} // namespace

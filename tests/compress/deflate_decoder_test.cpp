// The decoder on streams of every block type, fed in any pieces, and on
// malformed streams crafted bit by bit.
#include "compress/deflate_codec.h"
#include "deflate_test_support.h"
#include "tests/support/random_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// Encodes data in 65536-byte calls; returns the chunks.
std::vector<Bytes> EncodeChunks(const Bytes& data) {
    DeflateCodec codec;
    std::vector<Bytes> chunks;
    for (std::size_t at = 0; at < data.size(); at += 65536) {
        Bytes out;
        const std::size_t size = std::min<std::size_t>(65536, data.size() - at);
        EXPECT_TRUE(codec.EncodeChunk(data.data() + at, size, out));
        chunks.push_back(out);
    }
    return chunks;
}

// Decodes the given pieces in order with one codec; false on any failure.
bool DecodePieces(const std::vector<Bytes>& pieces, Bytes& decoded) {
    DeflateCodec codec;
    decoded.clear();
    Bytes out;
    for (const Bytes& piece : pieces) {
        if (!codec.DecodeChunk(piece.data(), piece.size(), out)) return false;
        decoded.insert(decoded.end(), out.begin(), out.end());
    }
    return true;
}

Bytes Join(const std::vector<Bytes>& pieces) {
    Bytes joined;
    for (const Bytes& piece : pieces) joined.insert(joined.end(), piece.begin(), piece.end());
    return joined;
}

TEST(DeflateDecoder, RestoresWhatTheEncoderWrote) {
    const std::vector<Bytes> inputs = {Bytes(65536, 0), Bytes(200000, 'x'), RandomText(300000, 1),
                                       RandomBytes(150000, 2), ToBytes("a")};
    for (const Bytes& input : inputs) {
        const std::vector<Bytes> chunks = EncodeChunks(input);
        Bytes decoded;
        ASSERT_TRUE(DecodePieces(chunks, decoded));
        EXPECT_EQ(decoded, input) << input.size() << " bytes";
    }
}

TEST(DeflateDecoder, EachChunkYieldsExactlyItsPiece) {
    const Bytes input = RandomText(3 * 65536 + 10, 3);
    const std::vector<Bytes> chunks = EncodeChunks(input);
    DeflateCodec codec;
    Bytes out;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        ASSERT_TRUE(codec.DecodeChunk(chunks[i].data(), chunks[i].size(), out));
        EXPECT_EQ(out.size(), i < 3 ? 65536u : 10u) << "chunk " << i;
    }
}

TEST(DeflateDecoder, AcceptsAnySplitOfTheInput) {
    const Bytes input = RandomText(100000, 4);
    const Bytes stream = Join(EncodeChunks(input));

    std::vector<Bytes> bytes;
    for (std::uint8_t byte : stream) bytes.push_back({byte});
    Bytes decoded;
    ASSERT_TRUE(DecodePieces(bytes, decoded));
    EXPECT_EQ(decoded, input);

    std::mt19937 random(5);
    for (int round = 0; round < 5; ++round) {
        std::vector<Bytes> pieces;
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t size = std::min<std::size_t>(random() % 3000, stream.size() - at);
            pieces.emplace_back(stream.begin() + at, stream.begin() + at + size);
            at += size;
        }
        ASSERT_TRUE(DecodePieces(pieces, decoded));
        EXPECT_EQ(decoded, input);
    }
}

TEST(DeflateDecoder, ReadsStoredBlocksAndSkipsBlockType3) {
    BitWriter stream;
    stream.Bits(0x9C78, 16);
    stream.Bits(0b110, 3); // type 3: read as another block header
    stream.Bits(0b000, 3); // stored
    Bytes bytes = stream.Finish();
    const Bytes payload = ToBytes("stored bytes");
    bytes.push_back(static_cast<std::uint8_t>(payload.size()));
    bytes.push_back(0);
    bytes.push_back(0x12); // NLEN is not compared
    bytes.push_back(0x34);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    bytes.push_back(0); // an empty stored block follows
    bytes.insert(bytes.end(), {0, 0, 0, 0});

    Bytes decoded;
    ASSERT_TRUE(DecodePieces({bytes}, decoded));
    EXPECT_EQ(decoded, payload);
    std::vector<Bytes> single;
    for (std::uint8_t byte : bytes) single.push_back({byte});
    ASSERT_TRUE(DecodePieces(single, decoded));
    EXPECT_EQ(decoded, payload);
}

TEST(DeflateDecoder, ADistanceBeforeTheFirstByteCopiesZeros) {
    BitWriter stream;
    stream.Bits(0x9C78, 16);
    stream.Bits(2, 3);
    stream.FixedLiteral('A');
    stream.FixedLiteral(258); // length 4
    stream.FixedDistance(4);  // distance 5, 1 extra bit
    stream.Bits(0, 1);
    stream.FixedLiteral(256);
    Bytes decoded;
    ASSERT_TRUE(DecodePieces({stream.Finish()}, decoded));
    EXPECT_EQ(decoded, (Bytes{'A', 0, 0, 0, 0}));
}

// A dynamic block whose code-length code gives lengths 0 to 15 four-bit codes
// (symbol = code), so the test states literal/length and distance lengths directly.
Bytes DynamicBlock(const std::vector<int>& literalLengths, const std::vector<int>& distanceLengths,
                   const std::vector<int>& symbolsThenCodes) {
    BitWriter stream;
    stream.Bits(0x9C78, 16);
    stream.Bits(4, 3); // dynamic
    stream.Bits(static_cast<std::uint32_t>(literalLengths.size() - 257), 5);
    stream.Bits(static_cast<std::uint32_t>(distanceLengths.size() - 1), 5);
    stream.Bits(19 - 4, 4);
    const int order[] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    for (int symbol : order) stream.Bits(symbol < 16 ? 4 : 0, 3);
    for (int length : literalLengths) stream.Code(static_cast<std::uint32_t>(length), 4);
    for (int length : distanceLengths) stream.Code(static_cast<std::uint32_t>(length), 4);
    // Pairs of (code, length) to append as raw Huffman codes.
    for (std::size_t i = 0; i + 1 < symbolsThenCodes.size(); i += 2)
        stream.Code(static_cast<std::uint32_t>(symbolsThenCodes[i]), symbolsThenCodes[i + 1]);
    return stream.Finish();
}

// 256 codes of 8 bits: literals 0 to 253, end-of-block and length 3 (257).
// Canonical codes: literal s is s, end-of-block 254, length 3 is 255.
constexpr int kEndCode = 254;
constexpr int kLength3Code = 255;
std::vector<int> CompleteLiterals() {
    std::vector<int> lengths(258, 0);
    for (int symbol = 0; symbol < 254; ++symbol) lengths[symbol] = 8;
    lengths[256] = 8;
    lengths[257] = 8;
    return lengths;
}

TEST(DeflateDecoder, ReadsDynamicBlocks) {
    // "hi", then length 3 at distance 2 (distance code 1), then the end.
    const Bytes stream = DynamicBlock(CompleteLiterals(), {1, 1}, {'h', 8, 'i', 8, kLength3Code, 8, 1, 1, kEndCode, 8});
    Bytes decoded;
    ASSERT_TRUE(DecodePieces({stream}, decoded));
    EXPECT_EQ(decoded, ToBytes("hihih"));

    // One distance code of one bit is the incomplete code encoders may write.
    ASSERT_TRUE(
        DecodePieces({DynamicBlock(CompleteLiterals(), {1}, {'q', 8, kLength3Code, 8, 0, 1, kEndCode, 8})}, decoded));
    EXPECT_EQ(decoded, ToBytes("qqqq"));
}

struct MalformedCase {
    const char* name;
    Bytes stream;
};

std::vector<MalformedCase> MalformedStreams() {
    std::vector<MalformedCase> cases;
    const auto fixed = [](std::initializer_list<int> symbols) {
        BitWriter stream;
        stream.Bits(0x9C78, 16);
        stream.Bits(2, 3);
        for (int symbol : symbols) {
            if (symbol >= 1000)
                stream.FixedDistance(symbol - 1000);
            else
                stream.FixedLiteral(symbol);
        }
        stream.FixedLiteral(256);
        stream.Bits(0, 16); // plenty of bits behind, so nothing waits for input
        return stream.Finish();
    };
    cases.push_back({"literal/length symbol 286", fixed({'a', 286})});
    cases.push_back({"literal/length symbol 287", fixed({'a', 287})});
    cases.push_back({"distance symbol 30", fixed({'a', 257, 1030})});
    cases.push_back({"distance symbol 31", fixed({'a', 257, 1031})});

    std::vector<int> over = CompleteLiterals();
    over[254] = 8; // 257 codes of 8 bits
    cases.push_back({"over-subscribed literal lengths", DynamicBlock(over, {1, 1}, {0, 16})});
    std::vector<int> under = CompleteLiterals();
    under[253] = 0; // 255 codes of 8 bits
    cases.push_back({"incomplete literal lengths", DynamicBlock(under, {1, 1}, {0, 16})});
    std::vector<int> noEnd = CompleteLiterals();
    noEnd[256] = 0;
    noEnd[254] = 8;
    cases.push_back({"no end-of-block code", DynamicBlock(noEnd, {1, 1}, {0, 16})});
    cases.push_back({"over-subscribed distance lengths", DynamicBlock(CompleteLiterals(), {1, 1, 1}, {0, 16})});
    cases.push_back({"incomplete distance lengths", DynamicBlock(CompleteLiterals(), {2, 2, 2}, {0, 16})});
    // With the one-bit single distance code, the code 1 is absent.
    cases.push_back({"distance code absent from the table",
                     DynamicBlock(CompleteLiterals(), {1}, {'a', 8, kLength3Code, 8, 1, 1, 0, 16})});
    // A literal/length code of end-of-block alone has no code "1".
    std::vector<int> single(257, 0);
    single[256] = 1;
    cases.push_back({"literal code absent from the table", DynamicBlock(single, {1}, {1, 1, 0, 16})});

    // A code-length code that is over-subscribed.
    BitWriter lengthsCode;
    lengthsCode.Bits(0x9C78, 16);
    lengthsCode.Bits(4, 3);
    lengthsCode.Bits(0, 5);
    lengthsCode.Bits(0, 5);
    lengthsCode.Bits(15, 4);
    for (int i = 0; i < 19; ++i) lengthsCode.Bits(1, 3);
    lengthsCode.Bits(0, 32);
    cases.push_back({"over-subscribed code-length code", lengthsCode.Finish()});
    return cases;
}

TEST(DeflateDecoder, RejectsMalformedStreamsAndStaysFailed) {
    for (const MalformedCase& c : MalformedStreams()) {
        DeflateCodec codec;
        Bytes out;
        EXPECT_FALSE(codec.DecodeChunk(c.stream.data(), c.stream.size(), out)) << c.name;
        const Bytes more = {0x00};
        EXPECT_FALSE(codec.DecodeChunk(more.data(), more.size(), out)) << c.name;
        EXPECT_TRUE(out.empty()) << c.name;
    }
}

TEST(DeflateDecoder, TruncatedStreamsWaitForMoreInput) {
    const Bytes input = RandomText(5000, 6);
    const Bytes stream = Join(EncodeChunks(input));
    for (std::size_t cut : {std::size_t{1}, std::size_t{2}, std::size_t{3}, stream.size() / 2, stream.size() - 1}) {
        DeflateCodec codec;
        Bytes out;
        EXPECT_TRUE(codec.DecodeChunk(stream.data(), cut, out)) << cut;
        if (cut <= stream.size() / 2) {
            EXPECT_LT(out.size(), input.size()) << cut;
        }
        EXPECT_TRUE(std::equal(out.begin(), out.end(), input.begin())) << cut;
    }
}

TEST(DeflateDecoder, SurvivesRandomGarbageWithoutReadingOutsideItsBuffers) {
    // Run under the sanitizers in the asan build; here every outcome is allowed
    // but a crash.
    std::mt19937 random(8);
    for (int round = 0; round < 300; ++round) {
        Bytes garbage = RandomBytes(1 + random() % 2000, static_cast<unsigned>(round));
        garbage[0] = 0x78;
        DeflateCodec codec;
        Bytes out;
        codec.DecodeChunk(garbage.data(), garbage.size(), out);
        EXPECT_LE(out.size(), garbage.size() * 8 * 129);
    }
}

} // namespace

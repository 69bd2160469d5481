// The branch filter's conversions, byte for byte, and its round trip for any
// input cut into calls of any size.
#include "compress/x86_branch_filter.h"
#include "deflate_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Direction = X86BranchFilter::Direction;

// The whole stream through one filter, in calls of piece bytes (0: one call).
Bytes Filter(Direction direction, const Bytes& input, std::size_t piece) {
    X86BranchFilter filter(direction);
    Bytes stream, out;
    std::size_t at = 0;
    do {
        const std::size_t length = piece ? std::min(piece, input.size() - at) : input.size();
        filter.Update(input.data() + at, length, out);
        stream.insert(stream.end(), out.begin(), out.end());
        at += length;
    } while (at < input.size());
    filter.Finish(out);
    stream.insert(stream.end(), out.begin(), out.end());
    return stream;
}

TEST(X86BranchFilter, ConvertsDisplacementsWithinSixteenMebibytes) {
    const struct {
        Bytes input, encoded;
    } cases[] = {
        {{0xE8, 0x00, 0x00, 0x00, 0x00}, {0xE8, 0x05, 0x00, 0x00, 0x00}},
        {{0x90, 0xE9, 0xFA, 0xFF, 0xFF, 0xFF}, {0x90, 0xE9, 0x00, 0x00, 0x00, 0x00}}, // a jump to 0
        // Crossing 2^24 either way wraps within the 25 bits.
        {{0xE8, 0xFF, 0xFF, 0xFF, 0x00}, {0xE8, 0x04, 0x00, 0x00, 0xFF}},
        {{0xE8, 0xFA, 0xFF, 0xFF, 0xFE}, {0xE8, 0xFA, 0xFF, 0xFF, 0xFE}}, // top byte 0xFE: left alone
        {{0xE8, 0x00, 0x00, 0x00, 0xFF}, {0xE8, 0x05, 0x00, 0x00, 0xFF}},
        {{0xE8, 0xFB, 0xFF, 0xFF, 0x01}, {0xE8, 0xFB, 0xFF, 0xFF, 0x01}},
        // An opcode takes its 4 bytes with it, converted or not: the E8s
        // inside them are no opcodes.
        {{0xE8, 0xE8, 0xE8, 0xE8, 0xE8, 0x00, 0xE8, 0, 0, 0, 0},
         {0xE8, 0xE8, 0xE8, 0xE8, 0xE8, 0x00, 0xE8, 0x0B, 0, 0, 0}},
        {{0xE8, 0xE8, 0x00, 0x00, 0x12, 0x00}, {0xE8, 0xE8, 0x00, 0x00, 0x12, 0x00}},
        {{0xE8, 0x01, 0x02, 0x00}, {0xE8, 0x01, 0x02, 0x00}}, // too close to the end
        {{}, {}},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {0, 1, 2, 3, 4}) {
            EXPECT_EQ(Filter(Direction::Encode, c.input, piece), c.encoded) << &c - cases << " in " << piece;
            EXPECT_EQ(Filter(Direction::Decode, c.encoded, piece), c.input) << &c - cases << " in " << piece;
        }
    }
}

// Bytes rich in opcodes and in top bytes 0x00 and 0xFF, so conversions
// overlap and meet every call boundary.
TEST(X86BranchFilter, EveryInputRoundTripsHoweverItIsCut) {
    std::mt19937 random(7);
    const std::uint8_t common[] = {0xE8, 0xE9, 0x00, 0xFF};
    Bytes input(100000);
    for (auto& byte : input) byte = random() % 2 ? common[random() % 4] : static_cast<std::uint8_t>(random());
    const Bytes encoded = Filter(Direction::Encode, input, 0);
    ASSERT_NE(encoded, input);
    for (const std::size_t piece : {1, 2, 3, 4, 5, 6, 7, 4093, 65536}) {
        EXPECT_EQ(Filter(Direction::Encode, input, piece), encoded) << piece;
        EXPECT_EQ(Filter(Direction::Decode, encoded, piece), input) << piece;
    }
}

} // namespace

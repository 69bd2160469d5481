// The constant tables of the deflate format (RFC 1951): length and distance
// symbols with their bases and extra bits, and the fixed Huffman code lengths.
#pragma once

#include <cstdint>

namespace deflate {

inline constexpr int kMinMatch = 3;
inline constexpr int kMaxMatch = 258;
inline constexpr int kWindowSize = 32768;
inline constexpr int kEndOfBlock = 256;

inline constexpr int kLengthSymbols = 29; // symbols 257 to 285
inline constexpr int kDistanceSymbols = 30;
inline constexpr int kLiteralLengthAlphabet = 288; // the fixed code also lists 286 and 287
inline constexpr int kDistanceAlphabet = 32;       // and distance codes 30 and 31
inline constexpr int kCodeLengthAlphabet = 19;
inline constexpr int kMaxCodeLength = 15;

inline constexpr std::uint16_t kLengthBase[kLengthSymbols] = {
    3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
inline constexpr std::uint8_t kLengthExtraBits[kLengthSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
inline constexpr std::uint16_t kDistanceBase[kDistanceSymbols] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
inline constexpr std::uint8_t kDistanceExtraBits[kDistanceSymbols] = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block header lists the code-length code lengths.
inline constexpr std::uint8_t kCodeLengthOrder[kCodeLengthAlphabet] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                       11, 4,  12, 3, 13, 2, 14, 1, 15};

// Code lengths of the fixed literal/length code: 144 x 8, 112 x 9, 24 x 7, 8 x 8.
constexpr int FixedLiteralLengthBits(int symbol) { return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8; }
inline constexpr int kFixedDistanceBits = 5;

// code reversed in its low length bits, for streams written least-significant bit first.
constexpr std::uint32_t ReverseBits(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    return reversed;
}

} // namespace deflate

// Constants and the probability model of a raw LZMA stream, shared by the
// encoder and the decoder.
//
// A raw stream is one range-coded bit sequence; its first byte is always 0.
// Its parameters travel outside it:
//
//   properties byte  (pb * 5 + lp) * 9 + lc
//   dictionary size  32 bits; sizes under 4096 mean 4096
//
// A ".lzma" file puts them in front of the stream, followed by the 8-byte
// unpacked size (all little-endian; all ones for "unknown, ends with the end
// marker"): 13 bytes of header in all.
//
// We accept lc + lp <= 4 only, as LZMA2 does: every encoder in common use
// stays there, and it bounds the literal model to 0x300 << 4 probabilities
// (24 KiB), so the decoder's memory is its dictionary plus a fixed 64 KiB.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lzma {

inline constexpr int kMaxLc = 8;
inline constexpr int kMaxLp = 4;
inline constexpr int kMaxPb = 4;
inline constexpr int kMaxLcPlusLp = 4;
inline constexpr std::uint32_t kMinDictionary = 4096;
inline constexpr std::size_t kHeaderSize = 13; // of a ".lzma" file
inline constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};

// Range coder: 11-bit probabilities of a 0 bit, moved by 1/32 of the gap.
inline constexpr int kProbabilityBits = 11;
inline constexpr std::uint16_t kProbabilityOne = 1 << kProbabilityBits;
inline constexpr int kMoveBits = 5;
inline constexpr std::uint32_t kRangeTop = 1u << 24;

inline constexpr int kStates = 12;
inline constexpr int kLiteralStates = 7; // states 0..6 follow a literal
inline constexpr int kMaxPosStates = 1 << kMaxPb;

// Lengths 2..273: a choice bit, then 8 low, 8 middle or 256 high values.
inline constexpr std::uint32_t kMinMatch = 2;
inline constexpr std::uint32_t kMaxMatch = kMinMatch + 8 + 8 + 256 - 1;

// Distances: a 6-bit slot coded in one of four trees picked by the length
// (2, 3, 4, 5 and more); slots 4..13 are followed by reverse-coded bits with
// their own probabilities, higher slots by direct bits and four aligned low
// bits. The distance all ones (slot 63) is the end marker.
inline constexpr int kLengthStates = 4;
inline constexpr int kSlotBits = 6;
inline constexpr std::uint32_t kFirstCodedSlot = 4;
inline constexpr std::uint32_t kFirstDirectSlot = 14;
inline constexpr std::uint32_t kFullDistances = 1u << (kFirstDirectSlot / 2); // 128
inline constexpr int kAlignBits = 4;
inline constexpr std::uint32_t kEndMarker = 0xFFFFFFFF;

struct Properties {
    int lc = 3;
    int lp = 0;
    int pb = 2;
    std::uint32_t dictionarySize = 1u << 23;

    bool Valid() const {
        return lc >= 0 && lc <= kMaxLc && lp >= 0 && lp <= kMaxLp && pb >= 0 && pb <= kMaxPb && lc + lp <= kMaxLcPlusLp;
    }
    std::uint8_t Byte() const { return static_cast<std::uint8_t>((pb * 5 + lp) * 9 + lc); }
    // The dictionary the stream may reach back into.
    std::uint32_t EffectiveDictionary() const {
        return dictionarySize < kMinDictionary ? kMinDictionary : dictionarySize;
    }
};

// Splits a properties byte; false for a byte above 224. The result may still
// be invalid (lc + lp above 4).
inline bool ParseProperties(std::uint8_t byte, Properties& properties) {
    if (byte >= 9 * 5 * 5) return false;
    properties.lc = byte % 9;
    properties.lp = byte / 9 % 5;
    properties.pb = byte / 45;
    return true;
}

inline constexpr int NextStateAfterLiteral(int state) { return state < 4 ? 0 : state < 10 ? state - 3 : state - 6; }
inline constexpr int NextStateAfterMatch(int state) { return state < kLiteralStates ? 7 : 10; }
inline constexpr int NextStateAfterRep(int state) { return state < kLiteralStates ? 8 : 11; }
inline constexpr int NextStateAfterShortRep(int state) { return state < kLiteralStates ? 9 : 11; }

using Probability = std::uint16_t;

struct LengthModel {
    Probability choice;
    Probability choice2;
    Probability low[kMaxPosStates][8];
    Probability middle[kMaxPosStates][8];
    Probability high[256];
};

// Every adaptive probability of a stream; all start at one half. Trees are
// indexed from 1 (node 1 is the root, node n has children 2n and 2n + 1).
struct Model {
    Probability isMatch[kStates][kMaxPosStates];
    Probability isRep[kStates];
    Probability isRep0[kStates];
    Probability isRep1[kStates];
    Probability isRep2[kStates];
    Probability isRep0Long[kStates][kMaxPosStates];
    Probability slot[kLengthStates][1 << kSlotBits];
    // Reverse trees of slots 4..13, the tree of slot s starting at
    // distanceBits[base(s) - s - 1] (base(s) the slot's lowest distance).
    Probability distanceBits[kFullDistances - kFirstDirectSlot];
    Probability align[1 << kAlignBits];
    LengthModel matchLength;
    LengthModel repLength;
    // 0x300 per literal context: a plain tree at 1..255, and the trees used
    // while the literal agrees with the byte at rep0 at 0x100..0x2FF.
    Probability literal[0x300 << kMaxLcPlusLp];

    void Reset() {
        Probability* all = reinterpret_cast<Probability*>(this);
        for (std::size_t i = 0; i < sizeof(Model) / sizeof(Probability); ++i) all[i] = kProbabilityOne / 2;
    }
};

// The literal context of the byte at position, after the byte previous.
inline std::size_t LiteralContext(const Properties& p, std::uint64_t position, std::uint8_t previous) {
    return 0x300 * (((static_cast<std::size_t>(position) & ((1u << p.lp) - 1)) << p.lc) + (previous >> (8 - p.lc)));
}

inline std::uint32_t LengthState(std::uint32_t length) {
    return length - kMinMatch < kLengthStates - 1 ? length - kMinMatch : kLengthStates - 1;
}

} // namespace lzma

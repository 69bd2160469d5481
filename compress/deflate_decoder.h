// The decompressing half of the deflate codec: reads a zlib-headed deflate
// stream (stored, fixed and dynamic blocks) fed in pieces of any size.
#pragma once

#include "compress/huffman_table.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class DeflateDecoder {
public:
    DeflateDecoder();

    // Decodes as much of the stream as the bytes received so far allow and
    // puts the decoded bytes into output (replacing its content). Bits of an
    // incomplete symbol wait for the next call. Returns false for a malformed
    // stream, and for every call after one.
    bool Decode(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output);

    // Starts a new stream, keeping the fixed tables and a window of the usual
    // size: the next Decode reads exactly as a new decoder would.
    void Reset();

private:
    enum class State : std::uint8_t {
        StreamHeader,
        BlockHeader,
        StoredHeader,
        StoredBytes,
        DynamicHeader,
        CodeLengthCodes,
        CodeLengths,
        LiteralLength,
        LengthExtra,
        Distance,
        DistanceExtra,
        Failed,
    };
    enum class Step { Continue, NeedInput, Malformed };

    Step Run();
    Step DecodeSymbols();
    Step DecodeSymbolsFast();
    Step ReadCodeLengths();
    Step CopyStored();
    Step FinishDynamicHeader();

    void Refill();
    bool Need(int count);
    std::uint32_t Take(int count);
    void Drop(int count) {
        bits_ >>= count;
        bitCount_ -= count;
    }
    // Looks up the next code: its entry, or NeedInput / Malformed.
    Step Lookup(const HuffmanTable& table, HuffmanTable::Entry& entry);

    void Reserve(std::size_t bytes);

    State state_ = State::StreamHeader;
    // Input of the current call and the bit buffer; bits above bitCount_ are
    // either zero or the stream's next bits.
    const std::uint8_t* in_ = nullptr;
    const std::uint8_t* inEnd_ = nullptr;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;

    // The last 32 KiB of output (zeros before the first byte) followed by the
    // current call's output: matches copy within one buffer.
    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t capacity_ = 0;
    std::size_t position_ = 0;

    HuffmanTable fixedLiterals_, fixedDistances_;
    HuffmanTable dynamicLiterals_, dynamicDistances_, codeLengthTable_;
    const HuffmanTable* literals_ = nullptr;
    const HuffmanTable* distances_ = nullptr;

    // Fields of the block being decoded.
    int literalCount_ = 0, distanceCount_ = 0, codeLengthCount_ = 0, lengthsRead_ = 0;
    std::uint8_t lengths_[288 + 32] = {};
    std::uint32_t storedRemaining_ = 0;
    int lengthSymbol_ = 0, distanceSymbol_ = 0;
    std::uint32_t matchLength_ = 0;
};

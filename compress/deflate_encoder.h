// The compressing half of the deflate codec: a never-finished zlib stream of
// fixed-Huffman blocks, one call per chunk. See deflate_encoder.cpp for the
// rules that fix every output bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class DeflateEncoder {
public:
    DeflateEncoder();
    ~DeflateEncoder();
    DeflateEncoder(const DeflateEncoder&) = delete;
    DeflateEncoder& operator=(const DeflateEncoder&) = delete;

    // The longest input one call takes.
    static constexpr std::size_t kMaxInput = 1u << 30;

    // Compresses input as the next part of the stream and puts the whole bytes
    // written so far into output (replacing its content). Up to 7 bits of the
    // last partial byte stay behind and open the next call's output. False,
    // with nothing written, for an input longer than kMaxInput.
    bool Encode(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output);

    // Starts a new stream, keeping the tables: the next Encode writes exactly
    // what a new encoder would. Many small files make allocating and clearing
    // the tables per stream a visible cost.
    void Reset();

private:
    void AllocateTables();
    void KeepHistoryOnly();

    // The stream's bytes from absolute position dataStart_ on: the last 32 KiB
    // of history followed by the current call's input.
    std::vector<std::uint8_t> data_;
    std::uint32_t dataStart_ = 0;
    std::uint32_t streamEnd_ = 0; // absolute position after the last byte given
    std::uint32_t inserted_ = 0;  // absolute position of the first byte not in the chains

    // Chains of earlier positions whose three bytes fall in the same bucket:
    // the window slot of the newest position per bucket, and for every window
    // slot the bucket of its position and the distance back to the next older
    // position of that bucket (0: none within the window).
    std::unique_ptr<std::uint16_t[]> heads_;
    std::unique_ptr<std::uint16_t[]> slotBuckets_;
    std::unique_ptr<std::uint16_t[]> links_;
    std::uint32_t hashMultiplier_ = 0;

    // Bits of the last partial byte, waiting for the next call.
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    bool headerPending_ = true;
};

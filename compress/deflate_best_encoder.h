// A second compressing half for the deflate codec, for the smallest output
// rather than speed: the same kind of never-finished zlib stream as
// DeflateEncoder writes (any deflate decoder reads it, ours included), but
// with a near-optimal parse and a block per piece of up to 32 KiB, each
// written dynamic, fixed or stored, whichever is smallest. See
// deflate_best_encoder.cpp for how the parse is found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class DeflateBestEncoder {
public:
    // The longest input one call takes, as DeflateEncoder.
    static constexpr std::size_t kMaxInput = 1u << 30;

    // Compresses input as the next part of the stream and puts the whole bytes
    // written so far into output (replacing its content). As with
    // DeflateEncoder, every bit of the call's data lies in those bytes, so a
    // decoder given them returns all of the input; up to 7 bits of framing
    // stay behind for the next call. False, with nothing written, for an input
    // longer than kMaxInput.
    bool Encode(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output);

    // Starts a new stream.
    void Reset();

private:
    std::vector<std::uint8_t> history_; // the stream's last 32 KiB
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    bool headerPending_ = true;
};

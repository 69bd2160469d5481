// Encoding any byte source into a raw LZMA stream (lzma_format.h) without
// end marker: the reader needs the properties and the unpacked size, which
// EncodeLzma reports.
#pragma once

#include "compress/lzma_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// The largest dictionary the encoder takes.
inline constexpr std::uint32_t kMaxEncoderDictionary = 1u << 30;

struct LzmaEncoderOptions {
    lzma::Properties properties;
    // Matches this long are taken without looking further (8..273).
    int niceLength = 64;
    // How many positions of the same 4-byte hash a search compares at most.
    int searchDepth = 48;
};

enum class LzmaEncodeResult {
    Ok,
    BadOptions,  // properties the decoder would refuse, a dictionary above
                 // kMaxEncoderDictionary, or a nice length out of range
    OutOfMemory, // the window or the match finder's tables could not be allocated
};

// Reads the source to its end (read fills up to count bytes and returns how
// many it gave, 0 at the end) and writes the stream through write in pieces
// of up to 64 KiB. unpackedSize receives the number of bytes read. Memory:
// 9.5 times the dictionary at most (the window and two tree links per
// position; less for a source smaller than the dictionary) plus 5 MiB of
// hash tables.
LzmaEncodeResult EncodeLzma(const LzmaEncoderOptions& options,
                            const std::function<std::size_t(void*, std::size_t)>& read,
                            const std::function<void(const std::uint8_t*, std::size_t)>& write,
                            std::uint64_t& unpackedSize);

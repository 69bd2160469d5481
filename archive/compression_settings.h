// How an installer's files are compressed: what the builder is asked for,
// and what a loaded installer declares (archive_format.h, LZMA).
#pragma once

#include <cstdint>

enum class CompressionMethod : std::uint8_t {
    Deflate,     // "!ZQM" blocks, the codec's own encoder: the bytes every earlier builder wrote
    DeflateBest, // "!ZQM" blocks of the slower, smaller encoder; the same decoder reads them
    Lzma,        // chunked LZMA streams
};

struct CompressionSettings {
    CompressionMethod method = CompressionMethod::Deflate;
    // LZMA: one stream for all entries.
    bool solid = false;
    // LZMA: the largest dictionary a stream may get; 0 for kDefaultDictionaryCap.
    // A stream gets the smallest power of two that holds it, up to this.
    std::uint32_t dictionary = 0;
    // Entries compressed at once (a solid stream takes one); the installer
    // is the same for every count.
    unsigned threads = 1;
};

// The largest dictionary the builder chooses by itself.
inline constexpr std::uint32_t kDefaultDictionaryCap = 1u << 26;

// Decoding a raw LZMA stream (lzma_format.h) of a known unpacked size from
// any byte source into any sink.
#pragma once

#include "compress/lzma_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>

enum class LzmaResult {
    Ok,
    Truncated,          // the source ended before the stream did
    Corrupt,            // a first byte other than 0, a distance before the first byte or beyond
                        // the dictionary, a match past the unpacked size, an end marker
                        // before it, or a coder not at rest after the last symbol
    BadProperties,      // lc, lp or pb out of range, or lc + lp above 4
    DictionaryTooLarge, // the properties ask for more than the caller allows
    OutOfMemory,        // the dictionary could not be allocated
};

// Decodes exactly unpackedSize bytes. read fills up to count bytes and
// returns how many it gave (0 at the end); write receives the decoded bytes in
// order, never more than unpackedSize in all. After the last byte the stream
// may carry an end marker, which is read; bytes after the stream are left
// unread or ignored. On failure fewer than unpackedSize bytes have been
// written, whole dictionaries at a time, and the last of them may hold bytes
// decoded from the damage.
//
// Memory: one allocation of min(dictionary, unpackedSize) bytes, made before
// anything is read, and a fixed 45 KiB of state.
LzmaResult DecodeLzma(const lzma::Properties& properties, std::uint64_t unpackedSize, std::uint32_t maxDictionary,
                      const std::function<std::size_t(void*, std::size_t)>& read,
                      const std::function<void(const std::uint8_t*, std::size_t)>& write);

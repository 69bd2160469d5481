// The TOC of an LZMA installer, packed (layout in archive_format.h): the
// records' size, then a chunked LZMA stream of them. The writer lives with
// the solid stream's (archive_build_lzma.cpp), the reader with the loader
// (archive_load.cpp), so that the extractor links no encoder.
#pragma once

#include "compress/lzma_chunks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Writes the packed form of records through write; packedSize receives its
// bytes. Records beyond kMaxLzmaTocSize are the caller's to refuse.
LzmaEncodeResult PackToc(const std::vector<std::uint8_t>& records,
                         const std::function<void(const std::uint8_t*, std::size_t)>& write, std::uint64_t& packedSize);

// Reads a packed TOC's records piece by piece, so that a reader holds only
// the entries it has parsed.
class PackedTocReader {
public:
    PackedTocReader() : stream_(decoder_) {}

    // Starts on the TOC through read, which stays in use: the records' size
    // (at most kMaxLzmaTocSize) and the stream's header (a dictionary of at
    // most kMaxTocDictionary). False when either is out of bounds or cut short.
    bool Open(const LzmaSource& read);
    // Fills buffer with the next count bytes of the records; fewer at their
    // end, or where the stream is damaged.
    std::size_t Read(void* buffer, std::size_t count);
    // Every byte of the records has been read, and none was damaged.
    bool AtEnd() const { return !failed_ && left_ == 0; }

private:
    LzmaDecoder decoder_;
    LzmaChunkReader stream_;
    std::uint32_t left_ = 0;
    bool failed_ = false;
};

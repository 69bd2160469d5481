// Reading a "!ZQM" compressed file (zqm_format.h) from any byte source into
// any sink, one chunk in memory at a time: files on disk, and data blocks
// inside an installer read in place.
#pragma once

#include "compress/deflate_codec.h"
#include "compress/zqm_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>

enum class ZqmResult {
    Ok,
    BadMagic, // the source does not start with "!ZQM"
    Corrupt,  // a damaged stream, a chunk that decodes to nothing, a chunk or
              // length field cut short, or a chunk longer than any encoder writes
};

// read fills up to count bytes and returns how many it gave (0 at the end);
// write receives the decoded bytes in order. codec must be at the start of a
// stream (new, or Reset).
ZqmResult ExpandZqm(const std::function<std::size_t(void*, std::size_t)>& read,
                    const std::function<void(const std::uint8_t*, std::size_t)>& write, DeflateCodec& codec,
                    ZqmSizes& sizes);

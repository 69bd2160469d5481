// The decoders one extraction or verification shares among its entries.
#pragma once

#include "compress/deflate_codec.h"
#include "compress/lzma_chunks.h"

#include <cstdint>
#include <memory>

struct EntryDecoders {
    DeflateCodec codec;
    // LZMA: the window, allocated once for the largest stream.
    std::unique_ptr<LzmaDecoder> lzma;
    // The solid stream, opened by the first entry that reads from it.
    std::unique_ptr<LzmaChunkReader> solid;
    LzmaSource solidSource;
    std::uint64_t solidSize = 0; // the stream's unpacked bytes: every entry's
    std::uint64_t solidLeft = 0; // stream bytes not yet read from the installer
    // The solid stream, decoded ahead on a thread of its own; last, so that
    // it stops before what it uses goes.
    std::unique_ptr<LzmaPieceSource> solidAhead;
};

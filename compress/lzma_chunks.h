// Writing and reading chunked LZMA streams (lzma_chunks_format.h).
#pragma once

#include "compress/lzma_chunks_format.h"
#include "compress/lzma_decoder.h"
#include "compress/lzma_encoder.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Reads the source to its end and writes one stream through write (header,
// then each chunk as it is decided), cut into chunks of chunkSize bytes.
// packedSize receives the bytes written, unpackedSize the bytes read.
LzmaEncodeResult CompressLzmaChunks(const LzmaEncoderOptions& options, const LzmaSource& read,
                                    const std::function<void(const std::uint8_t*, std::size_t)>& write,
                                    std::uint64_t& unpackedSize, std::uint64_t& packedSize,
                                    std::uint32_t chunkSize = lzma_chunks::kWrittenChunkSize);

// Reads exactly count bytes through read (a header's); false when the source
// ends first.
bool ReadFully(const LzmaSource& read, std::uint8_t* bytes, std::size_t count);

// A stream's bytes in the order they come, piece by piece.
class LzmaPieceSource {
public:
    virtual ~LzmaPieceSource() = default;
    // The next bytes of the stream, at least one and at most max (above 0)
    // while any are left; count is 0 at the end. data stays valid until the
    // next call.
    virtual LzmaResult Next(const std::uint8_t*& data, std::size_t& count, std::size_t max) = 0;
};

// Reads one stream of a known size, in the order its bytes come, through a
// decoder that may serve one stream after another.
class LzmaChunkReader : public LzmaPieceSource {
public:
    explicit LzmaChunkReader(LzmaDecoder& decoder) : decoder_(decoder) {}

    // Reads the stream header through read, which stays in use until the
    // stream ends, and starts a stream of size bytes whose dictionary may
    // not exceed maxDictionary.
    LzmaResult Open(const LzmaSource& read, std::uint64_t size, std::uint32_t maxDictionary);

    LzmaResult Next(const std::uint8_t*& data, std::size_t& count, std::size_t max) override;

private:
    LzmaResult NextChunk();
    LzmaResult Fill();

    LzmaDecoder& decoder_;
    const LzmaSource* read_ = nullptr;
    LzmaSource segment_; // read_, limited to the current segment's bytes
    std::uint64_t size_ = 0;
    std::uint64_t chunkEnd_ = 0; // stream position where the current chunk ends
    std::uint32_t segmentLeft_ = 0;
    std::uint8_t kind_ = 0;
    LzmaSpans spans_;
};

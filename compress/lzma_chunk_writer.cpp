// Writing chunked LZMA streams: the encoder's chunks framed as
// lzma_chunks_format.h lays them out.
#include "compress/lzma_chunks.h"

#include "common/little_endian.h"

#include <algorithm>

using namespace lzma_chunks;

LzmaEncodeResult CompressLzmaChunks(const LzmaEncoderOptions& options, const LzmaSource& read,
                                    const std::function<void(const std::uint8_t*, std::size_t)>& write,
                                    std::uint64_t& unpackedSize, std::uint64_t& packedSize, std::uint32_t chunkSize) {
    packedSize = 0;
    const auto put = [&](const std::uint8_t* data, std::size_t count) {
        write(data, count);
        packedSize += count;
    };
    std::uint8_t header[kStreamHeaderSize];
    header[0] = options.properties.Byte();
    StoreLittleEndian32(options.properties.dictionarySize, header + 1);
    bool headerWritten = false;
    const LzmaChunkSink sink = [&](const std::uint8_t* raw, std::size_t rawSize, const std::uint8_t* packed,
                                   std::size_t packedBytes) {
        if (!headerWritten) {
            put(header, sizeof header);
            headerWritten = true;
        }
        std::uint8_t chunk[kChunkHeaderSize + kSegmentSizeFieldSize];
        chunk[0] = packed ? kCodedChunk : kStoredChunk;
        StoreLittleEndian32(static_cast<std::uint32_t>(rawSize), chunk + 1);
        if (packed) {
            StoreLittleEndian32(static_cast<std::uint32_t>(packedBytes), chunk + kChunkHeaderSize);
            put(chunk, sizeof chunk);
            put(packed, packedBytes);
        } else {
            put(chunk, kChunkHeaderSize);
            put(raw, rawSize);
        }
    };
    const LzmaEncodeResult result =
        EncodeLzmaChunks(options, std::min(chunkSize, kMaxChunkSize), read, sink, unpackedSize);
    if (result == LzmaEncodeResult::Ok && !headerWritten) put(header, sizeof header);
    return result;
}

// Encoding any byte source into LZMA (lzma_format.h): one raw stream without
// end marker, whose reader needs the properties and the unpacked size that
// EncodeLzma reports; or chunks, segments of one model and one dictionary
// that a container frames (lzma_chunks_format.h).
#pragma once

#include "compress/lzma_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// The largest dictionary the encoder takes.
inline constexpr std::uint32_t kMaxEncoderDictionary = 1u << 30;
// The largest chunk EncodeLzmaChunks cuts.
inline constexpr std::uint32_t kMaxEncoderChunk = 1u << 24;

struct LzmaEncoderOptions {
    lzma::Properties properties;
    // Matches this long are taken without looking further (8..273).
    int niceLength = 64;
    // How many positions of the same 4-byte hash a search compares at most.
    int searchDepth = 48;
    // Runs the match finder on a thread of its own, ahead of the parser; the
    // stream is the same either way.
    bool finderThread = false;
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
// position; less for a source smaller than the dictionary) plus the hash
// tables: 512 KiB, and a bucket of 4 bytes for every two bytes of the
// dictionary (at least 2^16, at most 2^24 buckets: 64 MiB).
LzmaEncodeResult EncodeLzma(const LzmaEncoderOptions& options,
                            const std::function<std::size_t(void*, std::size_t)>& read,
                            const std::function<void(const std::uint8_t*, std::size_t)>& write,
                            std::uint64_t& unpackedSize);

// Receives one chunk: its source bytes (rawSize of them) and, when coding
// made them smaller, the segment (packedSize bytes); packed is null for a
// chunk to be stored as it is. The pointers are valid during the call only.
using LzmaChunkSink = std::function<void(const std::uint8_t* raw, std::size_t rawSize, const std::uint8_t* packed,
                                         std::size_t packedSize)>;

// Reads the source to its end and cuts it into chunks of chunkSize bytes (1
// to kMaxEncoderChunk; the last one shorter). Each coded chunk is one range
// coder segment, which starts with the byte 0 and ends with the coder's
// flush; the probabilities, the state, the reps and the dictionary run on
// from the chunk before. A stored chunk's bytes join the dictionary and leave
// the model as it was before them. Memory: that of EncodeLzma plus one chunk
// of source and one of segment.
LzmaEncodeResult EncodeLzmaChunks(const LzmaEncoderOptions& options, std::uint32_t chunkSize,
                                  const std::function<std::size_t(void*, std::size_t)>& read, const LzmaChunkSink& sink,
                                  std::uint64_t& unpackedSize);

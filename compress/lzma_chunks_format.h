// Layout of a chunked LZMA stream, the form LZMA data takes in an installer
// (integers little-endian):
//
//   offset 0  1 byte   the properties byte, (pb * 5 + lp) * 9 + lc
//   offset 1  4 bytes  the dictionary size
//   offset 5  chunks, back to back, until their unpacked sizes add up to the
//             stream's size, which the reader knows from elsewhere:
//               1 byte   kind: 'L' a coded segment, 'S' stored bytes
//               4 bytes  U, the chunk's unpacked size, 1 to kMaxChunkSize
//               'L': 4 bytes P, the segment's size, 5 to U - 1, then the
//                    P bytes of one range-coder segment that decodes to
//                    exactly U bytes and ends with the coder at rest
//               'S': the U bytes themselves
//
// One model and one dictionary run through the whole stream: a segment goes
// on from the probabilities, state and distances the segment before it left,
// and may copy from any byte before it, stored ones included. A stored chunk
// changes nothing but the dictionary. A writer stores every chunk that would
// not shrink, so no stream is larger than its source by more than its
// headers: 5 bytes, and 5 per chunk.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lzma_chunks {

inline constexpr std::size_t kStreamHeaderSize = 5;
inline constexpr std::uint8_t kCodedChunk = 'L';
inline constexpr std::uint8_t kStoredChunk = 'S';
inline constexpr std::size_t kChunkHeaderSize = 5;      // kind and U
inline constexpr std::size_t kSegmentSizeFieldSize = 4; // P
inline constexpr std::uint32_t kMaxChunkSize = 1u << 24;
inline constexpr std::uint32_t kMinSegmentSize = 5;
// The chunk size the writer cuts.
inline constexpr std::uint32_t kWrittenChunkSize = 1u << 21;

} // namespace lzma_chunks

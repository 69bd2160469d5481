// Layout of a "!ZQM" compressed file (integers little-endian):
//
//   offset 0  4 bytes  magic "!ZQM", no terminator
//   offset 4  2 bytes  0x00 0x31, always written, never examined
//   offset 6  chunks, back to back, up to the end of the file:
//               4 bytes  N, the number of compressed bytes that follow
//               N bytes  the codec's output for one piece of the source
//
// The source is cut into pieces of 65536 bytes (the last may be shorter),
// one chunk each; an empty source has no chunk. The payloads concatenated are
// one deflate stream whose state runs across chunks: a chunk cannot be
// decoded without all chunks before it. No end marker, no checksum.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zqm {

inline constexpr char kMagic[4] = {'!', 'Z', 'Q', 'M'};
inline constexpr std::uint8_t kVersion[2] = {0x00, 0x31};
inline constexpr std::size_t kHeaderSize = 6;
inline constexpr std::size_t kLengthFieldSize = 4;
inline constexpr std::size_t kPieceSize = 65536;
// No encoder output for one piece comes near this; a larger length is corrupt.
inline constexpr std::uint32_t kMaxChunkSize = 98304;

} // namespace zqm

// Sizes of one "!ZQM" file, as compressing or expanding it counts them.
struct ZqmSizes {
    std::uint32_t original = 0;  // source bytes
    std::uint32_t payload = 0;   // chunk bytes, length fields excluded
    std::uint32_t fileBytes = 0; // the whole file: header, length fields and chunks
};
